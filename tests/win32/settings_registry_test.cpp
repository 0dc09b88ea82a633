// The settings in the registry: what is read, what is written, and that
// nothing is written until asked.
#include <gtest/gtest.h>

#include "support/harness.h"

namespace {

void WriteEveryMonitor(const void* value, DWORD size, DWORD type) {
  ASSERT_TRUE(SetUserValue(storedKeyPath, storedEveryMonitorName, type, value, size));
}

class SettingsRegistry : public ::testing::Test {
 protected:
  Session session;
  void SetUp() override {
    DeleteSettingsKey();
    StartSession(session, GetModuleHandleA(nullptr));
    session.everyMonitor = !defaultEveryMonitor;  // the other answer: a load must set it
  }
  void TearDown() override { DeleteSettingsKey(); }
};

TEST_F(SettingsRegistry, NoKeyGivesDefaultsAndWritesNothing) {
  EXPECT_FALSE(LoadSettings(session));
  EXPECT_EQ(SettingsToBytes(session.settings), SettingsToBytes(DefaultSettings()));
  EXPECT_TRUE(session.everyMonitor);
  std::vector<uint8_t> bytes;
  DWORD type = 0;
  EXPECT_FALSE(ReadSettingsValue(bytes, type));
}

TEST_F(SettingsRegistry, SaveWritesTheWholeRecordAsBinaryUnderItsClassAndEveryMonitorAsADword) {
  session.settings = DefaultSettings();
  session.settings.pyramidTurn = 0;
  session.settings.pyramidTurnTick = 123456;
  session.settings.frameTime = 5;  // outside the dialog's range: stored and read as it is
  session.everyMonitor = false;
  EXPECT_TRUE(SaveSettings(session));
  std::vector<uint8_t> bytes;
  DWORD type = 0;
  ASSERT_TRUE(ReadSettingsValue(bytes, type));
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(bytes, SettingsToBytes(session.settings));
  ASSERT_TRUE(ReadUserValue(storedKeyPath, storedEveryMonitorName, bytes, type));
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(bytes, std::vector<uint8_t>(4, 0));

  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, storedKeyPath, 0, KEY_READ, &key), ERROR_SUCCESS);
  char keyClass[64] = {};
  DWORD classLength = sizeof keyClass;
  RegQueryInfoKeyA(key, keyClass, &classLength, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                   nullptr);
  RegCloseKey(key);
  EXPECT_STREQ(keyClass, "Application Per-User Date");
  // A lasting key: a volatile one (gone at log-off) refuses a lasting subkey.
  const std::string lasting = std::string(storedKeyPath) + "\\lasting";
  HKEY probe;
  EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, lasting.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                            nullptr, &probe, nullptr),
            ERROR_SUCCESS)
      << "the settings key is volatile: the settings go when the user logs off";
  RegCloseKey(probe);
  RegDeleteKeyA(HKEY_CURRENT_USER, lasting.c_str());

  Session loaded;
  StartSession(loaded, session.instance);
  EXPECT_TRUE(LoadSettings(loaded));
  EXPECT_EQ(SettingsToBytes(loaded.settings), SettingsToBytes(session.settings));
  EXPECT_FALSE(loaded.everyMonitor);
}

// A key without a usable record gives the defaults, whatever else it holds.
TEST_F(SettingsRegistry, KeyWithoutAUsableRecordGivesDefaults) {
  const DWORD off = 0;
  const std::vector<uint8_t> tooLong(settingsRecordSize + 1, 1);
  for (const bool longRecord : {false, true}) {
    SCOPED_TRACE(longRecord ? "a record one byte too long" : "Every monitor alone");
    DeleteSettingsKey();
    WriteEveryMonitor(&off, sizeof off, REG_DWORD);
    if (longRecord) WriteSettingsValue(tooLong, REG_BINARY);
    session.settings = SettingsRecord{};
    session.everyMonitor = true;
    EXPECT_FALSE(LoadSettings(session));
    EXPECT_EQ(SettingsToBytes(session.settings), SettingsToBytes(DefaultSettings()));
    EXPECT_FALSE(session.everyMonitor);
  }
}

TEST_F(SettingsRegistry, ValueOfAnotherTypeIsTakenAsRawBytes) {
  SettingsRecord record = DefaultSettings();
  record.eyeX = -77;
  record.light2Y = 419;
  WriteSettingsValue(SettingsToBytes(record), REG_SZ);
  EXPECT_TRUE(LoadSettings(session));
  EXPECT_EQ(session.settings.eyeX, -77);
  EXPECT_EQ(session.settings.light2Y, 419);
}

// Every monitor is off only for a stored DWORD 0; anything else it cannot
// read as a DWORD leaves it on, and the record is read all the same.
TEST_F(SettingsRegistry, EveryMonitorIsOffOnlyForAStoredZero) {
  WriteSettingsValue(SettingsToBytes(DefaultSettings()), REG_BINARY);
  const DWORD zero = 0, two = 2;
  const uint16_t shortZero = 0;
  struct Case {
    const char* what;
    const void* value;
    DWORD size, type;
    bool expected;
  } cases[] = {
      {"DWORD 0", &zero, sizeof zero, REG_DWORD, false},
      {"DWORD 2", &two, sizeof two, REG_DWORD, true},
      {"two zero bytes", &shortZero, sizeof shortZero, REG_BINARY, true},
      {"text \"0\"", "0", 2, REG_SZ, true},
  };
  for (const Case& c : cases) {
    WriteEveryMonitor(c.value, c.size, c.type);
    session.everyMonitor = !c.expected;
    EXPECT_TRUE(LoadSettings(session)) << c.what;
    EXPECT_EQ(session.everyMonitor, c.expected) << c.what;
  }
}

}  // namespace
