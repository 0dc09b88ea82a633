// wayland_documents.h - vimbrel-wayland's --help and manual page.
//
// The options and settings are the shared Linux table's
// (linux_options/linux_documents.h); the page's description, environment
// and exit status are this program's own. The build writes
// vimbrel-wayland.6 by running `vimbrel-wayland --man`.
#pragma once

#include <string>

std::string WaylandHelp();
std::string WaylandManualPage(const char* version);
