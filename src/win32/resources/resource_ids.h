// resource_ids.h - identifiers of the program's resources, shared by the
// resource script and the code.
#pragma once

#define IDB_FLOOR 114
#define IDB_FACE_PATTERN 113
#define IDI_VIMBREL 101
#define IDS_DESCRIPTION 1  // the saver's name in the system's list
#define IDD_SETTINGS 2003
#define IDC_EVERY_MONITOR 1060  // the settings dialog's Every monitor check box
