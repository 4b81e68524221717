// The Defrag Registry button.
#include <windows.h>

#include <memory>

#include "app/win/frmMain.h"
#include "defrag/defrag_flow.h"
#include "defrag/win/frmAskDelete.h"
#include "defrag/win/frmSystemPoint.h"
#include "ui/win/toolkit.h"

using namespace ui;

void TfrmMain::bDefragRegistryClick() {
  DefragDialogs dialogs;
  dialogs.confirm = [this] { return std::make_unique<TfrmAskDelete>(this)->ShowModal(); };
  dialogs.restorePoint = [this] { return std::make_unique<TfrmSystemPoint>(this)->ShowModal(); };
  dialogs.restartMessage = [this] {
    MessageBoxApp(
        "You must restart your computer for the changes to take effect. Click the OK button to restart your computer "
        "now.",
        MB_OK, hwnd());
  };
  DefragDone = false;
  RestartRequested = false;
  const DefragOutcome out = RunDefragmentation(HiveNames, HiveFiles, SilentMode, dialogs);
  DefragDone = out.requested;
  RestartRequested = out.restartAccepted;
}
