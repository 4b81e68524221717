// The program's own window messages.
#pragma once

enum : unsigned {
  WM_STARTSCAN = 0x6602,
  WM_HIVESAVED = 0x6603,
  WM_SHOWMAIN = 0x6604,
  WM_RESTOREPOINTDONE = 0x6605,
  WM_SILENTDEFRAG = 0x6606,
  WM_SILENTSCAN = 0x6607,
};
