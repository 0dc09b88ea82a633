// settings_registry.cpp - the settings record and Every monitor read from and
// written to the current user's registry key.
#include "win32/session/settings_registry.h"

#include <windows.h>

#include "core/scene/settings_record.h"

namespace {

// Missing, unreadable or of another form: the default.
bool ReadEveryMonitor(HKEY key) {
  DWORD value = 0, type = 0, size = sizeof value;
  if (RegQueryValueExA(key, everyMonitorValueName, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
          ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof value)
    return defaultEveryMonitor;
  return value != 0;
}

}  // namespace

bool LoadSettings(Session& session) {
  session.everyMonitor = defaultEveryMonitor;
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, settingsKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    SetDefaultSettings(session.settings);
    return false;
  }
  session.everyMonitor = ReadEveryMonitor(key);
  uint8_t stored[settingsRecordSize];
  DWORD size = sizeof stored;
  // The stored type is not asked for: any value of up to 152 bytes is taken as raw bytes.
  const LONG status = RegQueryValueExA(key, settingsValueName, nullptr, nullptr, stored, &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) {  // missing, unreadable, or longer than the record
    SetDefaultSettings(session.settings);
    return false;
  }
  return SettingsFromBytes(stored, size, session.settings);
}

bool SaveSettings(const Session& session) {
  HKEY key;
  LONG status = RegCreateKeyExA(HKEY_CURRENT_USER, settingsKeyPath, 0, const_cast<char*>(settingsKeyClass),
                                REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  if (status == ERROR_SUCCESS) {
    const std::vector<uint8_t> stored = SettingsToBytes(session.settings);
    status = RegSetValueExA(key, settingsValueName, 0, REG_BINARY, stored.data(), static_cast<DWORD>(stored.size()));
    const DWORD everyMonitor = session.everyMonitor ? 1 : 0;
    if (status == ERROR_SUCCESS)
      status = RegSetValueExA(key, everyMonitorValueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&everyMonitor),
                              sizeof everyMonitor);
    RegCloseKey(key);
  }
  SetLastError(static_cast<DWORD>(status));  // the registry answers with its error rather than setting it
  return status == ERROR_SUCCESS;
}
