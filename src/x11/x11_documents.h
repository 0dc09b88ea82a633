// x11_documents.h - what the X11 program says about itself, from the field table.
//
// --help, the XScreenSaver description (vimbrel.xml, `vimbrel --xml`) and
// the manual page (vimbrel.6, `vimbrel --man`) list the user's settings, the
// fields with a dialog control, in the dialog's groups (Dodecahedrons,
// Pyramid, View) with its captions, ranges and defaults and the unit of each
// trackbar's value. The build writes vimbrel.xml and vimbrel.6 by running
// the program, so nothing about a field is written twice.
#pragma once

#include <string>

#include "core/scene/settings_record.h"

std::string X11Help();
std::string XScreenSaverDescription();
std::string ManualPage(const char* version);
