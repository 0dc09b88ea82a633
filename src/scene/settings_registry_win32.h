// settings_registry_win32.h - the settings record in the current user's registry.
#pragma once

constexpr char settingsKeyPath[] = "Software\\Kelvarn\\ScreenSavers\\Vimbrel";
constexpr char settingsKeyClass[] = "Application Per-User Date";
constexpr char settingsValueName[] = "Config";

// Fills SceneSettings from the stored value; returns 1 when it was read and 0
// when the defaults were applied instead.
int LoadSettings();
// Writes the whole record; returns 1 when the value was written, otherwise 0
// with the registry's error as GetLastError. A failed write changes nothing,
// in memory or in the registry.
int SaveSettings();
