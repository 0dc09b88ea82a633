// setting_names.h - the names a user gives the settings, made from the field table.
//
// The Linux programs' options ("--pyramid-radius 200", "--no-shadows") and
// the browser page's address and element ids ("pyramid-radius=200",
// "no-shadows") name a setting the same way: the field's name with its
// words lower-cased and joined by hyphens, a check box's leading "show"
// dropped. A period (a trackbar counted in units of 1.024 s) also has a
// name in seconds ("pyramid-rotation-seconds").
#pragma once

#include <cstdint>
#include <string>

#include "core/scene/settings_record.h"

// A field the dialog offers (a trackbar or a check box); the others are
// reached only through a stored record.
bool IsUserSetting(const SettingsField& field);
// "pyramid-radius", "shadows"; digits stay with the word before them ("light1-x").
std::string SettingName(const SettingsField& field);
// A user setting of this name, or null.
const SettingsField* FindSettingByName(const std::string& name);

// A period: a trackbar counted in units of 1.024 s.
bool IsPeriod(const SettingsField& field);
// A period's name in seconds ("pyramid-rotation-seconds").
std::string SecondsSettingName(const SettingsField& field);
// Units of 1.024 s as whole seconds, rounded half away from zero.
int32_t SecondsOfUnits(int32_t units);
// The period whose name in seconds this is, or null.
const SettingsField* FindPeriodBySecondsName(const std::string& name);

// The values as a user writes them, read the same everywhere:
// a whole signed 32-bit decimal ("-4000"), nothing else;
bool ParseInt32(const std::string& text, int32_t& value);
// a decimal number of seconds ("41", "40.96", "-.5", at most 15 digits) as
// the nearest whole unit of 1.024 s, halves away from zero; false when it
// is no such number or that is no 32-bit integer. Read exactly as digits.
bool ParseSecondsAsUnits(const std::string& text, int32_t& units);
