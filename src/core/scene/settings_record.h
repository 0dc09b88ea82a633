// settings_record.h - the one record of everything the user can tune.
//
// A SettingsRecord holds 38 signed 32-bit fields. Its stored form is 152 bytes,
// the fields in declaration order, each little-endian; SettingsToBytes and
// SettingsFromBytes convert explicitly, so nothing depends on how the compiler
// lays the struct out. settingsFields describes every field once (offset,
// default, kind of control, range, the control's caption, group, unit and
// the words for a trackbar's ends) and drives the defaults, the dialog, the
// Linux program's options and documents, and the tests that check the
// resource script. Which control of the Windows dialog shows a field is the
// dialog's own business (win32/config_ui/dialog_controls.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct SettingsRecord {
  int32_t eyeX, eyeY, eyeZ;
  int32_t pyramidRadius, pyramidHeight, pyramidCentreX, pyramidCentreZ;
  int32_t pyramidRotationTime, pyramidJourneyTime;
  int32_t pyramidShow, pyramidTurn, pyramidJourney;
  int32_t pyramidTurnStart, pyramidTurnTick, pyramidJourneyStart, pyramidJourneyTick;
  int32_t dodecaRadius, dodecaCentreX, dodecaCentreZ;
  int32_t dodecaRotationTime, dodecaJourneyTime;
  int32_t dodecaShow, dodecaTurn, dodecaJourney;
  int32_t dodecaTurnStart, dodecaTurnTick, dodecaJourneyStart, dodecaJourneyTick;
  int32_t showGrid, showPalette, showShadows;
  int32_t light1X, light1Y, light1Z;
  int32_t light2X, light2Y, light2Z;
  int32_t frameTime;
};

constexpr size_t settingsFieldCount = 38;
constexpr size_t settingsRecordSize = settingsFieldCount * 4;  // 152 stored bytes

enum class ControlKind { none, trackbar, checkBox };

// The group box of the settings dialog that holds a field's control.
enum class SettingsGroup { none, dodecahedrons, pyramid, view };

// Texts are held in place, not pointed at, so that the table needs no
// relocation and stays in read-only memory in every build.
struct SettingsField {
  char name[24];
  int32_t SettingsRecord::*member;
  int32_t defaultValue;
  ControlKind kind;
  int32_t minimum, maximum;  // trackbar range
  // How the field is offered to the user; empty or none for a field without
  // a control.
  char caption[16];  // the dialog's words: the trackbar's caption or the check box's text
  SettingsGroup group;
  char unit[20];    // of a trackbar's value ("ms"); empty where there is none
  char lowWord[8];  // a trackbar's ends in words ("Near", "Far")
  char highWord[8];
};

// The unit of a period's trackbar: its value counts units of 1024 ms.
inline constexpr char settingsPeriodUnit[] = "1.024 s";

// In stored order: entry i lives at byte offset 4 * i.
extern const SettingsField settingsFields[settingsFieldCount];

// The dialog's name of a group ("Pyramid"); null for none.
const char* SettingsGroupName(SettingsGroup group);
// The dialog's groups from left to right, then the one below them.
constexpr SettingsGroup settingsGroups[3] = {SettingsGroup::dodecahedrons, SettingsGroup::pyramid, SettingsGroup::view};

void SetDefaultSettings(SettingsRecord& record);
SettingsRecord DefaultSettings();

// The record's stored form: settingsRecordSize bytes.
std::vector<uint8_t> SettingsToBytes(const SettingsRecord& record);

// Applies a stored value of any length. Longer than 152 bytes: the defaults
// and false. Otherwise the value's bytes replace the leading bytes of the
// record's stored form, every byte it does not reach takes its default, and
// the result is true (a truncated value cannot leave frameTime or a period at 0).
bool SettingsFromBytes(const uint8_t* bytes, size_t length, SettingsRecord& record);

const SettingsField* FindSettingsField(const char* name);
// The field of a member of the record (there is one for every member).
const SettingsField& FieldOf(const int32_t SettingsRecord::*member);
inline const SettingsField& FrameTimeField() { return FieldOf(&SettingsRecord::frameTime); }
// The milliseconds between frames for the stored frame time, within the
// bounds Windows puts on a timer's period (USER_TIMER_MINIMUM, _MAXIMUM),
// so that a frame time of 0 or less paces the other programs as it does
// there: a negative one is huge, as SetTimer takes it.
inline uint32_t FramePeriod(const SettingsRecord& settings) {
  constexpr uint32_t minimumFrameTime = 10, maximumFrameTime = 0x7fffffff;
  const auto period = static_cast<uint32_t>(settings.frameTime);
  return period < minimumFrameTime ? minimumFrameTime : period > maximumFrameTime ? maximumFrameTime : period;
}
