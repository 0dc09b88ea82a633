// web_address.cpp - the address's settings and the panel's table from settingsFields.
#include "web/portable/web_address.h"

#include <cstring>

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A query part as a form encodes it: '+' a space, %XX a byte; a '%' that
// starts no escape stays itself.
std::string Decoded(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const int high = text[i] == '%' && i + 2 < text.size() ? HexDigit(text[i + 1]) : -1;
    const int low = high >= 0 ? HexDigit(text[i + 2]) : -1;
    if (low >= 0) {
      out += static_cast<char>(high * 16 + low);
      i += 2;
    } else {
      out += text[i] == '+' ? ' ' : text[i];
    }
  }
  return out;
}

bool ParseMilliseconds(const std::string& text, uint32_t& value) {
  if (text.empty() || text.size() > 10) return false;
  uint64_t parsed = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    parsed = parsed * 10 + static_cast<uint64_t>(c - '0');
  }
  if (parsed > UINT32_MAX) return false;
  value = static_cast<uint32_t>(parsed);
  return true;
}

// One setting from the address; false (the setting left as it was) when the
// value is malformed.
bool ApplySetting(const SettingsField& field, bool negated, bool hasValue, const std::string& value,
                  SettingsRecord& settings) {
  int32_t parsed = 0;
  if (field.kind == ControlKind::checkBox && !hasValue) {
    settings.*field.member = negated ? 0 : 1;
    return true;
  }
  // A check box's field, like any other, may hold any number in a stored record ("grid=2").
  if (negated || !hasValue || !ParseInt32(value, parsed)) return false;
  settings.*field.member = parsed;
  return true;
}

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    if (static_cast<unsigned char>(c) >= 0x20) out += c;
  }
  return out + "\"";
}

}  // namespace

WebAddress ParseWebAddress(const std::string& query) {
  WebAddress address;
  SetDefaultSettings(address.settings);
  std::string malformed, unknown;
  const auto note = [](std::string& list, const std::string& item) { list += (list.empty() ? "" : ", ") + item; };
  size_t start = !query.empty() && query[0] == '?' ? 1 : 0;
  while (start <= query.size()) {
    size_t end = query.find('&', start);
    if (end == std::string::npos) end = query.size();
    const std::string part = query.substr(start, end - start);
    start = end + 1;
    if (part.empty()) continue;
    const size_t equals = part.find('=');
    const bool hasValue = equals != std::string::npos;
    const std::string name = Decoded(part.substr(0, equals));
    const std::string value = hasValue ? Decoded(part.substr(equals + 1)) : "";
    const bool negated = name.rfind("no-", 0) == 0 && FindSettingByName(name) == nullptr;
    const SettingsField* field = FindSettingByName(negated ? name.substr(3) : name);
    const SettingsField* period = FindPeriodBySecondsName(name);
    if (period != nullptr) {
      if (!hasValue || !ParseSecondsAsUnits(value, address.settings.*period->member)) {
        address.settings.*period->member = period->defaultValue;
        note(malformed, part);
      }
    } else if (field != nullptr) {
      if (!ApplySetting(*field, negated, hasValue, value, address.settings)) {
        address.settings.*field->member = field->defaultValue;
        note(malformed, part);
      }
    } else if (name == "time") {
      address.hasTime = hasValue && ParseMilliseconds(value, address.time);
      if (!address.hasTime) note(malformed, part);
    } else if ((name == "bare" || name == "bench") && !hasValue) {
      (name == "bare" ? address.bare : address.bench) = true;
    } else {
      note(unknown, part);
    }
  }
  if (!malformed.empty()) address.problem = "Not understood, so the default is used: " + malformed + ".";
  if (!unknown.empty())
    address.problem += (address.problem.empty() ? "" : " ") + std::string("Not a setting, ignored: ") + unknown + ".";
  return address;
}

std::string FormatWebAddress(const WebAddress& address) {
  std::string query;
  const auto add = [&query](const std::string& part) { query += (query.empty() ? "" : "&") + part; };
  for (const SettingsField& field : settingsFields) {
    const int32_t value = address.settings.*field.member;
    if (!IsUserSetting(field) || value == field.defaultValue) continue;
    if (field.kind == ControlKind::checkBox && (value == 0 || value == 1))
      add((value == 0 ? "no-" : "") + SettingName(field));
    else
      add(SettingName(field) + "=" + std::to_string(value));
  }
  if (address.hasTime) add("time=" + std::to_string(address.time));
  if (address.bare) add("bare");
  return query;
}

std::string WebPanelTable() {
  std::string json = "[";
  for (SettingsGroup group : settingsGroups) {
    json +=
        std::string(json.size() > 1 ? "," : "") + "{\"group\":" + Quoted(SettingsGroupName(group)) + ",\"fields\":[";
    bool first = true;
    for (ControlKind kind : {ControlKind::checkBox, ControlKind::trackbar}) {
      for (const SettingsField& field : settingsFields) {
        if (field.group != group || field.kind != kind) continue;
        json += std::string(first ? "" : ",") + "{\"id\":" + Quoted(SettingName(field)) +
                ",\"kind\":" + (kind == ControlKind::checkBox ? "\"check\"" : "\"range\"") +
                ",\"caption\":" + Quoted(field.caption) + ",\"default\":" + std::to_string(field.defaultValue);
        if (kind == ControlKind::trackbar)
          json += ",\"min\":" + std::to_string(field.minimum) + ",\"max\":" + std::to_string(field.maximum) +
                  ",\"unit\":" + Quoted(field.unit) + ",\"low\":" + Quoted(field.lowWord) +
                  ",\"high\":" + Quoted(field.highWord);
        json += "}";
        first = false;
      }
    }
    json += "]}";
  }
  return json + "]";
}
