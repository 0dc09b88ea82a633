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

const SettingsField* FindPeriodBySecondsName(const std::string& name) {
  for (const SettingsField& field : settingsFields)
    if (IsPeriod(field) && name == SecondsSettingName(field)) return &field;
  return nullptr;
}

bool ParseInt32(const std::string& text, int32_t& value) {
  const bool negative = !text.empty() && text[0] == '-';
  size_t i = negative ? 1 : 0;
  if (i == text.size()) return false;
  int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > int64_t{INT32_MAX} + 1) return false;
  }
  const int64_t parsed = negative ? -magnitude : magnitude;
  if (parsed > INT32_MAX) return false;
  value = static_cast<int32_t>(parsed);
  return true;
}

bool ParseSecondsAsUnits(const std::string& text, int32_t& units) {
  const bool negative = !text.empty() && text[0] == '-';
  int64_t digits = 0, scale = 1;  // seconds = digits / scale
  int count = 0;
  bool point = false;
  for (size_t i = negative ? 1 : 0; i < text.size(); ++i) {
    if (text[i] == '.' && !point) {
      point = true;
    } else if (text[i] >= '0' && text[i] <= '9' && count < 15) {  // 15 digits keep the sums below in 64 bits
      digits = digits * 10 + (text[i] - '0');
      scale *= point ? 10 : 1;
      ++count;
    } else {
      return false;
    }
  }
  if (count == 0) return false;
  // units = seconds * 125 / 128, rounded: floor((2 * digits * 125 + 128 * scale) / (2 * 128 * scale)).
  const int64_t magnitude = (digits * 250 + 128 * scale) / (256 * scale);
  if (magnitude > INT32_MAX) return false;
  units = static_cast<int32_t>(negative ? -magnitude : magnitude);
  return true;
}
