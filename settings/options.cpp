#include "settings/options.h"

#include "common/app_paths.h"
#include "common/ini.h"

TOptionsSetting OptionsSetting{};

namespace {
const char kSection[] = "Options";
}

void LoadSaveOptions(bool Load) {
  const auto file = ini::OpenIni(app::ExeDir() + "options.ini");
  if (Load) {
    OptionsSetting.RestorePoint = file->ReadBool(kSection, "RestorePoint", false);
    OptionsSetting.IsAskBeforeDefrag = file->ReadBool(kSection, "IsAskBeforeDefrag", true);
    OptionsSetting.IsShowLine = file->ReadBool(kSection, "IsShowLine", true);
    OptionsSetting.Lan = file->ReadString(kSection, "Lan", "English");
  } else {
    file->WriteBool(kSection, "RestorePoint", OptionsSetting.RestorePoint);
    file->WriteBool(kSection, "IsAskBeforeDefrag", OptionsSetting.IsAskBeforeDefrag);
    file->WriteBool(kSection, "IsShowLine", OptionsSetting.IsShowLine);
    file->WriteString(kSection, "Lan", OptionsSetting.Lan);
  }
}
