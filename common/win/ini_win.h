// The IniFile over the Windows profile-string functions. No <windows.h> here:
// common/ini.cpp picks this backend on Windows.
#pragma once
#include <memory>
#include <string>

#include "common/ini.h"

namespace ini {
std::unique_ptr<IniFile> OpenProfileIni(const std::string& path);
}  // namespace ini
