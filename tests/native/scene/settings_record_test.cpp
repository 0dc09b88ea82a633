// The settings record's stored form: each field little-endian at its own
// offset, shorter and longer stored values.
#include "core/scene/settings_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
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
// its fields are named here once more, by hand, in their stored order, four
// bytes each (the table's FIELD gives each name its own member).
const char* const storedOrder =
    "eyeX eyeY eyeZ pyramidRadius pyramidHeight pyramidCentreX pyramidCentreZ pyramidRotationTime "
    "pyramidJourneyTime pyramidShow pyramidTurn pyramidJourney pyramidTurnStart pyramidTurnTick "
    "pyramidJourneyStart pyramidJourneyTick dodecaRadius dodecaCentreX dodecaCentreZ dodecaRotationTime "
    "dodecaJourneyTime dodecaShow dodecaTurn dodecaJourney dodecaTurnStart dodecaTurnTick "
    "dodecaJourneyStart dodecaJourneyTick showGrid showPalette showShadows light1X light1Y light1Z "
    "light2X light2Y light2Z frameTime";

TEST(SettingsRecord, EachFieldIsStoredAtItsOwnOffsetLittleEndian) {
  std::istringstream names(storedOrder);
  size_t i = 0;
  for (std::string name; names >> name; ++i) {
    const SettingsField* field = FindSettingsField(name.c_str());
    ASSERT_TRUE(field != nullptr && i < settingsFieldCount) << name;
    std::vector<uint8_t> bytes = SettingsToBytes(DefaultSettings());
    const uint8_t value[4] = {0x78, 0x56, 0x34, 0x92};  // 0x92345678: every byte differs
    std::memcpy(&bytes[4 * i], value, 4);
    SettingsRecord loaded{};
    ASSERT_TRUE(SettingsFromBytes(bytes.data(), bytes.size(), loaded));
    EXPECT_EQ(loaded.*field->member, static_cast<int32_t>(0x92345678u)) << field->name;
    SettingsRecord defaults = DefaultSettings();
    defaults.*field->member = loaded.*field->member;
    EXPECT_EQ(std::memcmp(&loaded, &defaults, sizeof loaded), 0) << field->name << ": another field changed";
    EXPECT_EQ(SettingsToBytes(loaded), bytes) << field->name;
  }
  EXPECT_EQ(i, settingsFieldCount);
  EXPECT_EQ(FindSettingsField("noSuchField"), nullptr);
}

}  // namespace
