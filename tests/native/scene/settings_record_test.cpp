// The settings record's stored form (each field little-endian at its own
// offset, shorter and longer stored values) and its field table's controls.
#include "core/scene/settings_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <vector>

namespace {

TEST(SettingsRecord, LongerValueGivesDefaultsAndAShorterOneReplacesItsLeadingBytes) {
  const std::vector<uint8_t> longer(settingsRecordSize + 1, 0x7f);
  SettingsRecord loaded{};
  EXPECT_FALSE(SettingsFromBytes(longer.data(), longer.size(), loaded));
  EXPECT_EQ(SettingsToBytes(loaded), SettingsToBytes(DefaultSettings()));

  // Eight bytes: eyeX = 7, eyeY = 9; everything after keeps its default.
  const uint8_t bytes[8] = {7, 0, 0, 0, 9, 0, 0, 0};
  EXPECT_TRUE(SettingsFromBytes(bytes, sizeof bytes, loaded));
  SettingsRecord expected = DefaultSettings();
  expected.eyeX = 7, expected.eyeY = 9;
  EXPECT_EQ(SettingsToBytes(loaded), SettingsToBytes(expected));

  // A value that ends inside a field replaces only that field's low bytes.
  const uint8_t partial[6] = {0, 0, 0, 0, 0x34, 0x12};
  EXPECT_TRUE(SettingsFromBytes(partial, sizeof partial, loaded));
  EXPECT_EQ(loaded.eyeY, 0x1234);  // the default's high bytes are 0

  EXPECT_TRUE(SettingsFromBytes(nullptr, 0, loaded));
  EXPECT_EQ(loaded.eyeY, DefaultSettings().eyeY);
}

// The stored form is the registry value that older and newer versions read:
// its offsets are written out here once more, by hand, not taken from the table.
#define AT(offset, field) \
  { offset, #field, &SettingsRecord::field }
const struct {
  size_t offset;
  const char* name;
  int32_t SettingsRecord::*member;
} storedLayout[] = {
    AT(0, eyeX),
    AT(4, eyeY),
    AT(8, eyeZ),
    AT(12, pyramidRadius),
    AT(16, pyramidHeight),
    AT(20, pyramidCentreX),
    AT(24, pyramidCentreZ),
    AT(28, pyramidRotationTime),
    AT(32, pyramidJourneyTime),
    AT(36, pyramidShow),
    AT(40, pyramidTurn),
    AT(44, pyramidJourney),
    AT(48, pyramidTurnStart),
    AT(52, pyramidTurnTick),
    AT(56, pyramidJourneyStart),
    AT(60, pyramidJourneyTick),
    AT(64, dodecaRadius),
    AT(68, dodecaCentreX),
    AT(72, dodecaCentreZ),
    AT(76, dodecaRotationTime),
    AT(80, dodecaJourneyTime),
    AT(84, dodecaShow),
    AT(88, dodecaTurn),
    AT(92, dodecaJourney),
    AT(96, dodecaTurnStart),
    AT(100, dodecaTurnTick),
    AT(104, dodecaJourneyStart),
    AT(108, dodecaJourneyTick),
    AT(112, showGrid),
    AT(116, showPalette),
    AT(120, showShadows),
    AT(124, light1X),
    AT(128, light1Y),
    AT(132, light1Z),
    AT(136, light2X),
    AT(140, light2Y),
    AT(144, light2Z),
    AT(148, frameTime),
};
#undef AT

TEST(SettingsRecord, EachFieldIsStoredAtItsOwnOffsetLittleEndian) {
  ASSERT_EQ(std::size(storedLayout), settingsFieldCount);
  for (const auto& field : storedLayout) {
    std::vector<uint8_t> bytes = SettingsToBytes(DefaultSettings());
    const uint8_t value[4] = {0x78, 0x56, 0x34, 0x92};  // 0x92345678: every byte differs
    std::memcpy(&bytes[field.offset], value, 4);
    SettingsRecord loaded{};
    ASSERT_TRUE(SettingsFromBytes(bytes.data(), bytes.size(), loaded));
    EXPECT_EQ(loaded.*field.member, static_cast<int32_t>(0x92345678u)) << field.name;
    SettingsRecord defaults = DefaultSettings();
    defaults.*field.member = loaded.*field.member;
    EXPECT_EQ(std::memcmp(&loaded, &defaults, sizeof loaded), 0) << field.name << ": another field changed";
    EXPECT_EQ(SettingsToBytes(loaded), bytes) << field.name;
  }
}

TEST(SettingsRecord, ControlsAreUniqueAndRangesHoldTheirDefaults) {
  for (const SettingsField& a : settingsFields) {
    if (a.kind == ControlKind::none) continue;
    EXPECT_EQ(FindSettingsFieldByControl(a.controlId), &a) << a.name;
    EXPECT_LE(a.minimum, a.defaultValue) << a.name;
    EXPECT_GE(a.maximum, a.defaultValue) << a.name;
    if (a.kind == ControlKind::trackbar) {
      EXPECT_TRUE(a.labelId == a.controlId + 1 || a.labelId == a.controlId - 1) << a.name;
      EXPECT_EQ(FindSettingsFieldByControl(a.labelId), nullptr) << a.name;
    }
  }
  EXPECT_EQ(FindSettingsField("noSuchField"), nullptr);
}

}  // namespace
