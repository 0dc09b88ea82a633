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
