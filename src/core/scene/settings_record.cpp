// settings_record.cpp - the field table, the defaults and the record's stored form.
#include "core/scene/settings_record.h"

#include <cstring>

#include "core/common/int_math.h"

namespace {
constexpr ControlKind none = ControlKind::none;
constexpr ControlKind trackbar = ControlKind::trackbar;
constexpr ControlKind checkBox = ControlKind::checkBox;
constexpr SettingsGroup noGroup = SettingsGroup::none;
constexpr SettingsGroup dodecahedrons = SettingsGroup::dodecahedrons;
constexpr SettingsGroup pyramid = SettingsGroup::pyramid;
constexpr SettingsGroup view = SettingsGroup::view;
}  // namespace
// Lengths and positions are in the scene's units, pixels at the frame's plane
// for a frame 1024 pixels wide; the periods count turns and laps of 1024 ms
// (settingsPeriodUnit).
#define LENGTH "pixels at 1024 wide"
#define PERIOD "1.024 s"

#define FIELD(name) #name, &SettingsRecord::name
const SettingsField settingsFields[settingsFieldCount] = {
    {FIELD(eyeX), 0, none, 0, 0, "", noGroup, "", "", ""},
    {FIELD(eyeY), 1800, trackbar, 0, 2000, "Eye Y", view, LENGTH, "Low", "High"},
    {FIELD(eyeZ), -4000, trackbar, -10000, -3000, "Eye Z", view, LENGTH, "Far", "Near"},
    {FIELD(pyramidRadius), 260, trackbar, 50, 300, "Radius", pyramid, LENGTH, "Small", "Large"},
    {FIELD(pyramidHeight), 420, trackbar, 50, 500, "Height", pyramid, LENGTH, "Low", "High"},
    {FIELD(pyramidCentreX), 260, trackbar, -350, 350, "Centre X", pyramid, LENGTH, "Left", "Right"},
    {FIELD(pyramidCentreZ), 500, trackbar, 100, 1500, "Centre Z", pyramid, LENGTH, "Near", "Far"},
    {FIELD(pyramidRotationTime), 40, trackbar, 3, 60, "Rotation time", pyramid, PERIOD, "Fast", "Slow"},
    {FIELD(pyramidJourneyTime), 30, trackbar, 3, 120, "Journey time", pyramid, PERIOD, "Fast", "Slow"},
    {FIELD(pyramidShow), 1, checkBox, 0, 1, "Show", pyramid, "", "", ""},
    {FIELD(pyramidTurn), 1, checkBox, 0, 1, "Turn", pyramid, "", "", ""},
    {FIELD(pyramidJourney), 1, checkBox, 0, 1, "Journey", pyramid, "", "", ""},
    {FIELD(pyramidTurnStart), 0, none, 0, 0, "", noGroup, "", "", ""},
    {FIELD(pyramidTurnTick), 0, none, 0, 0, "", noGroup, "", "", ""},
    {FIELD(pyramidJourneyStart), 0, none, 0, 0, "", noGroup, "", "", ""},
    {FIELD(pyramidJourneyTick), 0, none, 0, 0, "", noGroup, "", "", ""},
    {FIELD(dodecaRadius), 80, trackbar, 20, 100, "Radius", dodecahedrons, LENGTH, "Small", "Large"},
    {FIELD(dodecaCentreX), -273, trackbar, -350, 350, "Centre X", dodecahedrons, LENGTH, "Left", "Right"},
    {FIELD(dodecaCentreZ), 460, trackbar, 100, 1500, "Centre Z", dodecahedrons, LENGTH, "Near", "Far"},
    {FIELD(dodecaRotationTime), 20, trackbar, 3, 60, "Rotation time", dodecahedrons, PERIOD, "Fast", "Slow"},
    {FIELD(dodecaJourneyTime), 50, trackbar, 3, 120, "Journey time", dodecahedrons, PERIOD, "Fast", "Slow"},
    {FIELD(dodecaShow), 1, checkBox, 0, 1, "Show", dodecahedrons, "", "", ""},
    {FIELD(dodecaTurn), 1, checkBox, 0, 1, "Turn", dodecahedrons, "", "", ""},
    {FIELD(dodecaJourney), 1, checkBox, 0, 1, "Journey", dodecahedrons, "", "", ""},
    {FIELD(dodecaTurnStart), 0, none, 0, 0, "", noGroup, "", "", ""},
    {FIELD(dodecaTurnTick), 0, none, 0, 0, "", noGroup, "", "", ""},
    {FIELD(dodecaJourneyStart), 0, none, 0, 0, "", noGroup, "", "", ""},
    {FIELD(dodecaJourneyTick), 0, none, 0, 0, "", noGroup, "", "", ""},
    {FIELD(showGrid), 0, checkBox, 0, 1, "Grid", view, "", "", ""},
    {FIELD(showPalette), 0, checkBox, 0, 1, "Palette", view, "", "", ""},
    {FIELD(showShadows), 1, checkBox, 0, 1, "Shadows", view, "", "", ""},
    {FIELD(light1X), -2000, trackbar, -2000, 2000, "Light 1 X", view, LENGTH, "Left", "Right"},
    {FIELD(light1Y), 1067, trackbar, 250, 2000, "Light 1 Y", view, LENGTH, "Low", "High"},
    {FIELD(light1Z), -613, trackbar, -2000, 2000, "Light 1 Z", view, LENGTH, "Near", "Far"},
    {FIELD(light2X), -2000, trackbar, -2000, 2000, "Light 2 X", view, LENGTH, "Left", "Right"},
    {FIELD(light2Y), 763, trackbar, 250, 2000, "Light 2 Y", view, LENGTH, "Low", "High"},
    {FIELD(light2Z), 1000, trackbar, -2000, 2000, "Light 2 Z", view, LENGTH, "Near", "Far"},
    {FIELD(frameTime), 100, trackbar, 20, 1000, "Frame time", view, "ms", "Fast", "Slow"},
};
#undef FIELD
#undef LENGTH
#undef PERIOD

const char* SettingsGroupName(SettingsGroup group) {
  switch (group) {
    case SettingsGroup::dodecahedrons: return "Dodecahedrons";
    case SettingsGroup::pyramid: return "Pyramid";
    case SettingsGroup::view: return "View";
    case SettingsGroup::none: break;
  }
  return nullptr;
}

void SetDefaultSettings(SettingsRecord& record) {
  for (const SettingsField& field : settingsFields) record.*field.member = field.defaultValue;
}

SettingsRecord DefaultSettings() {
  SettingsRecord record{};
  SetDefaultSettings(record);
  return record;
}

std::vector<uint8_t> SettingsToBytes(const SettingsRecord& record) {
  std::vector<uint8_t> bytes(settingsRecordSize);
  for (size_t i = 0; i < settingsFieldCount; ++i) WriteLe32(bytes.data() + 4 * i, record.*settingsFields[i].member);
  return bytes;
}

bool SettingsFromBytes(const uint8_t* bytes, size_t length, SettingsRecord& record) {
  SetDefaultSettings(record);
  if (length > settingsRecordSize) return false;
  std::vector<uint8_t> stored = SettingsToBytes(record);
  if (length > 0) std::memcpy(stored.data(), bytes, length);
  for (size_t i = 0; i < settingsFieldCount; ++i) record.*settingsFields[i].member = ReadLe32(stored.data() + 4 * i);
  return true;
}

const SettingsField* FindSettingsField(const char* name) {
  for (const SettingsField& field : settingsFields)
    if (std::strcmp(field.name, name) == 0) return &field;
  return nullptr;
}

const SettingsField& FieldOf(const int32_t SettingsRecord::*member) {
  for (const SettingsField& field : settingsFields)
    if (field.member == member) return field;
  return settingsFields[settingsFieldCount - 1];  // not reached: every member has its field
}
