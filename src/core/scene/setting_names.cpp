// setting_names.cpp - settings' names from the field table.
#include "core/scene/setting_names.h"

#include <cstring>

bool IsUserSetting(const SettingsField& field) { return field.kind != ControlKind::none; }

std::string SettingName(const SettingsField& field) {
  std::string name;
  for (const char* c = field.name; *c != '\0'; ++c) {
    if (*c >= 'A' && *c <= 'Z') {
      name += '-';
      name += static_cast<char>(*c - 'A' + 'a');
    } else {
      name += *c;
    }
  }
  if (field.kind == ControlKind::checkBox && name.rfind("show-", 0) == 0) name.erase(0, 5);
  return name;
}

const SettingsField* FindSettingByName(const std::string& name) {
  for (const SettingsField& field : settingsFields)
    if (IsUserSetting(field) && SettingName(field) == name) return &field;
  return nullptr;
}

bool IsPeriod(const SettingsField& field) {
  return field.kind == ControlKind::trackbar && std::strcmp(field.unit, settingsPeriodUnit) == 0;
}

std::string SecondsSettingName(const SettingsField& field) {
  std::string name = SettingName(field);
  if (name.size() > 5 && name.compare(name.size() - 5, 5, "-time") == 0) name.erase(name.size() - 5);
  return name + "-seconds";
}

// 1.024 s a unit: seconds = units * 128 / 125, rounded half away from zero.
int32_t SecondsOfUnits(int32_t units) {
  const int64_t scaled = static_cast<int64_t>(units) * 128;
  return static_cast<int32_t>((scaled + (scaled < 0 ? -62 : 62)) / 125);
}
