// x11_documents.h - what the X11 program says about itself, from the tables.
//
// --help and the manual page's options and settings are the shared Linux
// ones (linux_options/linux_documents.h); the XScreenSaver description
// (vimbrel.xml, `vimbrel --xml`) and the rest of the manual page (vimbrel.6,
// `vimbrel --man`) are the X11 program's own. The build writes vimbrel.xml
// and vimbrel.6 by running the program, so nothing about a field is written
// twice.
#pragma once

#include <string>

#include "core/scene/settings_record.h"

std::string X11Help();
std::string XScreenSaverDescription();
std::string ManualPage(const char* version);
