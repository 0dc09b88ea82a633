// settings_registry.h - the settings in the current user's registry.
//
// Two values under one key: "Config", the 152-byte settings record
// (REG_BINARY), and "EveryMonitor", a REG_DWORD that says whether the
// monitors beside the saver's show the scene too (missing: yes; 0: no).
#pragma once

#include "win32/session/session.h"

constexpr char settingsKeyPath[] = "Software\\Kelvarn\\ScreenSavers\\Vimbrel";
constexpr char settingsKeyClass[] = "Application Per-User Date";
constexpr char settingsValueName[] = "Config";
constexpr char everyMonitorValueName[] = "EveryMonitor";

// Fills the session's settings and Every monitor from the stored values;
// true when the record was read, false when the defaults were applied
// instead.
bool LoadSettings(Session& session);
// Writes the record, then Every monitor; true when both were written,
// otherwise false with the registry's error as GetLastError. When the record
// cannot be written nothing changes, in memory or in the registry.
bool SaveSettings(const Session& session);
