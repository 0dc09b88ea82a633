#include "scene/settings_registry_win32.h"

#include <windows.h>

#include "scene/settings_record.h"

int LoadSettings() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, settingsKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    SetDefaultSettings();
    return 0;
  }
  uint8_t stored[settingsRecordSize];
  DWORD size = sizeof stored;
  // The stored type is not asked for: any value of up to 152 bytes is taken as raw bytes.
  const LONG status = RegQueryValueExA(key, settingsValueName, nullptr, nullptr, stored, &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) {  // missing, unreadable, or longer than the record
    SetDefaultSettings();
    return 0;
  }
  return SettingsFromBytes(stored, size, SceneSettings);
}

int SaveSettings() {
  HKEY key;
  LONG status = RegCreateKeyExA(HKEY_CURRENT_USER, settingsKeyPath, 0, const_cast<char*>(settingsKeyClass),
                                REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  if (status == ERROR_SUCCESS) {
    uint8_t stored[settingsRecordSize];
    SettingsToBytes(SceneSettings, stored);
    status = RegSetValueExA(key, settingsValueName, 0, REG_BINARY, stored, sizeof stored);
    RegCloseKey(key);
  }
  SetLastError(static_cast<DWORD>(status));  // the registry answers with its error rather than setting it
  return status == ERROR_SUCCESS ? 1 : 0;
}
