#include "scene/settings_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

std::vector<uint8_t> StoredDefaults() {
  SettingsRecord record{};
  SetDefaultSettings(record);
  std::vector<uint8_t> bytes(settingsRecordSize);
  SettingsToBytes(record, bytes.data());
  return bytes;
}

TEST(SettingsRecord, ExactValueRoundTripsWithExtremeFields) {
  SettingsRecord record{};
  SetDefaultSettings(record);
  record.eyeX = INT32_MIN;
  record.frameTime = 5;
  record.pyramidTurnTick = -1;
  record.light2Y = INT32_MAX;
  uint8_t bytes[settingsRecordSize];
  SettingsToBytes(record, bytes);
  SettingsRecord loaded{};
  EXPECT_EQ(SettingsFromBytes(bytes, sizeof bytes, loaded), 1);
  EXPECT_EQ(std::memcmp(&loaded, &record, sizeof record), 0);
}

TEST(SettingsRecord, LongerValueGivesDefaults) {
  std::vector<uint8_t> bytes(settingsRecordSize + 1, 0x7f);
  SettingsRecord loaded{};
  EXPECT_EQ(SettingsFromBytes(bytes.data(), bytes.size(), loaded), 0);
  uint8_t stored[settingsRecordSize];
  SettingsToBytes(loaded, stored);
  EXPECT_EQ(std::vector<uint8_t>(stored, stored + settingsRecordSize), StoredDefaults());
}

TEST(SettingsRecord, ShorterValueReplacesLeadingBytesAndDefaultsTheRest) {
  // Eight bytes: eyeX = 7, eyeY = 9; everything after keeps its default.
  const uint8_t bytes[8] = {7, 0, 0, 0, 9, 0, 0, 0};
  SettingsRecord loaded{};
  EXPECT_EQ(SettingsFromBytes(bytes, sizeof bytes, loaded), 1);
  EXPECT_EQ(loaded.eyeX, 7);
  EXPECT_EQ(loaded.eyeY, 9);
  EXPECT_EQ(loaded.eyeZ, -4000);
  EXPECT_EQ(loaded.frameTime, 100);
  EXPECT_EQ(loaded.pyramidRotationTime, 40);

  // A value that ends inside a field replaces only that field's low bytes.
  const uint8_t partial[6] = {0, 0, 0, 0, 0x34, 0x12};
  EXPECT_EQ(SettingsFromBytes(partial, sizeof partial, loaded), 1);
  EXPECT_EQ(loaded.eyeY, 0x1234);  // 1800 is 0x708: its high bytes are 0

  EXPECT_EQ(SettingsFromBytes(nullptr, 0, loaded), 1);
  EXPECT_EQ(loaded.eyeY, 1800);
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
  EXPECT_EQ(FindSettingsField("frameTime")->controlId, 1052);
  EXPECT_EQ(FindSettingsField("noSuchField"), nullptr);
}

}  // namespace
