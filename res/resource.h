// Resource identifiers shared by the resource script and the code.
#pragma once
#define IDI_MAIN 1
#define IDR_BACKGROUND 101
#define IDR_BANNER 102
#define IDB_CLOSE 201
#define IDB_CLOSE_HOVER 202
#define IDB_MIN 203
#define IDB_MIN_HOVER 204
#define IDB_MIN_DOWN 205
#define IDB_ICON32 206
