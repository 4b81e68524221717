// The user's choices and their file, options.ini beside the executable.
#pragma once
#include <string>

struct TOptionsSetting {
  bool IsAskBeforeDefrag;
  bool IsShowLine;
  bool RestorePoint;
  std::string Lan;
};

// The one record every window reads; all false and empty until loaded.
extern TOptionsSetting OptionsSetting;

// Load true: options.ini into OptionsSetting, defaults for what is missing.
// Load false: OptionsSetting into options.ini; a failed write throws
// ini::WriteError and leaves the keys written before it in the file.
void LoadSaveOptions(bool Load);
