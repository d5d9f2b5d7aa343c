#pragma once

// Resource numbers of setup.exe.
#define IDI_SETUP 1
#define IDB_PAGE0 100
#define IDB_PAGE1 101
#define IDB_PAGE2 102
#define IDB_NEXT 110
#define IDB_BACK 111
#define IDB_EXIT 112
#define IDB_FOLDER 113
#define IDB_OK 114
