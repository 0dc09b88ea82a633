// The settings record in the registry: what is read, what is written, and
// that nothing is written until asked.
#include <gtest/gtest.h>

#include <cstring>

#include "scene/settings_record.h"
#include "scene/settings_registry_win32.h"
#include "support/harness.h"

namespace {

std::vector<uint8_t> StoredForm(const SettingsRecord& record) {
  std::vector<uint8_t> bytes(settingsRecordSize);
  SettingsToBytes(record, bytes.data());
  return bytes;
}

SettingsRecord Defaults() {
  SettingsRecord record{};
  SetDefaultSettings(record);
  return record;
}

class SettingsRegistry : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteSettingsKey();
    std::memset(&SceneSettings, 0, sizeof SceneSettings);
  }
  void TearDown() override { DeleteSettingsKey(); }
};

TEST_F(SettingsRegistry, NoKeyGivesDefaultsAndWritesNothing) {
  EXPECT_EQ(LoadSettings(), 0);
  EXPECT_EQ(StoredForm(SceneSettings), StoredForm(Defaults()));
  std::vector<uint8_t> bytes;
  DWORD type = 0;
  EXPECT_FALSE(ReadSettingsValue(bytes, type));
}

TEST_F(SettingsRegistry, SaveWritesTheWholeRecordAsBinaryUnderItsClass) {
  SetDefaultSettings();
  SceneSettings.pyramidTurn = 0;
  SceneSettings.pyramidTurnTick = 123456;
  SceneSettings.frameTime = 5;  // outside the dialog's range: stored and read as it is
  EXPECT_EQ(SaveSettings(), 1);
  std::vector<uint8_t> bytes;
  DWORD type = 0;
  ASSERT_TRUE(ReadSettingsValue(bytes, type));
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(bytes, StoredForm(SceneSettings));

  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, settingsKeyPath, 0, KEY_READ, &key), ERROR_SUCCESS);
  char keyClass[64] = {};
  DWORD classLength = sizeof keyClass;
  RegQueryInfoKeyA(key, keyClass, &classLength, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                   nullptr, nullptr);
  RegCloseKey(key);
  EXPECT_STREQ(keyClass, "Application Per-User Date");

  const SettingsRecord saved = SceneSettings;
  std::memset(&SceneSettings, 0, sizeof SceneSettings);
  EXPECT_EQ(LoadSettings(), 1);
  EXPECT_EQ(StoredForm(SceneSettings), StoredForm(saved));
}

TEST_F(SettingsRegistry, ValueOfAnotherTypeIsTakenAsRawBytes) {
  SettingsRecord record = Defaults();
  record.eyeX = -77;
  record.light2Y = 419;
  WriteSettingsValue(StoredForm(record), REG_SZ);
  EXPECT_EQ(LoadSettings(), 1);
  EXPECT_EQ(SceneSettings.eyeX, -77);
  EXPECT_EQ(SceneSettings.light2Y, 419);
}

}  // namespace
