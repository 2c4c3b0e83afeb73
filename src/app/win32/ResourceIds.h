#pragma once
// Ids of the resources compiled into the program (icon, bitmap), shared by code and .rc file.

#define IDI_APPLICATION_ICON 1
#define IDB_OPEN_FOLDER 2
