// dialog_controls.h - which control of the settings dialog (template 2003)
// edits which field of the settings record.
//
// The record's field table (core/scene/settings_record.h) says what a field
// is and how it is offered (kind, range, caption, group); this table says
// where the Windows dialog shows it: one row for every field with a control,
// in the order the dialog initialises them. It includes no <windows.h>, so
// that the native tests hold it to the resource script.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/scene/settings_record.h"

struct DialogControl {
  int32_t SettingsRecord::*member;
  int controlId;  // the trackbar or check box
  int labelId;    // the value label beside a trackbar; 0 for a check box
};

extern const DialogControl dialogControls[];
extern const size_t dialogControlCount;

// The row of a control (a trackbar or check box, not a label); null for none.
const DialogControl* FindDialogControl(int controlId);
// The row of a field; null for a field the dialog does not show.
const DialogControl* DialogControlOf(const int32_t SettingsRecord::*member);
