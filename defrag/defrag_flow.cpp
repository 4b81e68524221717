#include "defrag/defrag_flow.h"

#include "hive/probes.h"
#include "hive/replace.h"
#include "hive/snapshot.h"
#include "settings/options.h"

namespace {
constexpr int kYes = 6;
constexpr int kCancel = 2;
}  // namespace

DefragOutcome RunDefragmentation(const std::vector<std::string>& hiveNames,
                                 const std::vector<std::string>& hiveFiles, bool silentMode,
                                 const DefragDialogs& dialogs) {
  DefragOutcome out;
  if (OptionsSetting.IsAskBeforeDefrag && !silentMode) {
    int answer = dialogs.confirm ? dialogs.confirm() : kYes;
    // A ticked "Don't ask me next time" is kept whatever the answer.
    LoadSaveOptions(false);
    if (answer != kYes) return out;
  }
  if (OptionsSetting.RestorePoint && !silentMode) {
    std::uint8_t code = hive::GetWindowsVersionCode();
    if (code >= 9 && code <= 12 && dialogs.restorePoint && dialogs.restorePoint() == kCancel) return out;
  }
  hive::EnableRestorePrivilege();
  for (std::size_t i = 0; i < hiveNames.size() && i < hiveFiles.size(); ++i)
    hive::ReplaceHive(hiveNames[i], hiveFiles[i] + ".hvx", hiveFiles[i] + ".bak");
  out.requested = true;
  if (!silentMode && dialogs.restartMessage) dialogs.restartMessage();
  out.restartAccepted = hive::RestartWindows(true);
  return out;
}
