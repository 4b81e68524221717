// The Defrag Registry button.
#include <windows.h>

#include <memory>

#include "app/win/frmMain.h"
#include "defrag/win/frmAskDelete.h"
#include "defrag/win/frmSystemPoint.h"
#include "hive/probes.h"
#include "hive/replace.h"
#include "hive/snapshot.h"
#include "settings/options.h"
#include "ui/win/toolkit.h"

using namespace ui;

void TfrmMain::bDefragRegistryClick() {
  DefragDone = false;
  if (OptionsSetting.IsAskBeforeDefrag && !SilentMode) {
    auto ask = std::make_unique<TfrmAskDelete>(this);
    int answer = ask->ShowModal();
    ask.reset();
    // A ticked "Don't ask me next time" is kept whatever the answer.
    LoadSaveOptions(false);
    if (answer != mrYes) return;
  }
  if (OptionsSetting.RestorePoint && !SilentMode) {
    std::uint8_t code = hive::GetWindowsVersionCode();
    if (code >= 9 && code <= 12) {
      auto point = std::make_unique<TfrmSystemPoint>(this);
      if (point->ShowModal() == mrCancel) return;
    }
  }
  hive::EnableRestorePrivilege();
  for (std::size_t i = 0; i < HiveNames.size() && i < HiveFiles.size(); ++i)
    hive::ReplaceHive(HiveNames[i], HiveFiles[i] + ".hvx", HiveFiles[i] + ".bak");
  if (!SilentMode)
    MessageBoxApp(
        "You must restart your computer for the changes to take effect. Click the OK button to restart your computer "
        "now.",
        MB_OK, hwnd());
  DefragDone = true;
  RestartRequested = hive::RestartWindows(true);
}
