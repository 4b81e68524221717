// The Analyze Registry button.
#include <windows.h>

#include <memory>

#include "analysis/results.h"
#include "analysis/win/frmGetNewHiveProgess.h"
#include "app/win/frmMain.h"
#include "common/strutil.h"
#include "common/win/worker.h"
#include "hive/snapshot.h"
#include "i18n/language.h"
#include "ui/win/toolkit.h"

namespace {

std::string UserDecimalSeparator() {
  char buf[8] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buf, sizeof buf) <= 1) return ".";
  return buf;
}

}  // namespace

void TfrmMain::bAnalyzeRegistryClick() {
  if (HiveNames.empty()) return;
  for (const std::string& file : HiveFiles) {
    if (hive::IsFileLocked(file + ".hvx")) {
      ui::MessageBoxApp("Can not analyze the registry now! Please try again later.", MB_OK, hwnd());
      return;
    }
  }
  // A run abandoned earlier may still be finishing its hive; never let two
  // runs write the same snapshots.
  WaitForLastWorker(120000);

  auto dialog = std::make_unique<TfrmGetNewHiveProgess>(this);
  dialog->ShowModal();
  const bool succeeded = dialog->Memo1->Text() == "Finish";

  if (succeeded) {
    for (const std::string& file : HiveFiles) {
      if (!str::ContainsNoCase(file, "SOFTWARE")) continue;
      if (analysis::SnapshotImplausible(hive::GetFileSize64(file), hive::GetFileSize64(file + ".hvx"))) {
        ui::MessageBoxApp(LoadLanString("RES_Analyze_NoSuccess", "Failed to analyze the registry!"), MB_OK, hwnd());
        dialog.reset();
        bDefragRegistry->SetEnabled(false);
        return;
      }
    }
  }
  bDefragRegistry->SetEnabled(succeeded);
  if (!succeeded) return;

  std::int64_t totalOld = 0, totalNew = 0;
  for (std::size_t i = 0; i < HiveFiles.size(); ++i) {
    std::int64_t o = hive::GetFileSize64(HiveFiles[i]);
    std::int64_t n = hive::GetFileSize64(HiveFiles[i] + ".hvx");
    totalOld = analysis::AddSizes(totalOld, o);
    totalNew = analysis::AddSizes(totalNew, n);
    lvMain->SetCell(i, 1, analysis::FormatSizeKB(o));
    lvMain->SetCell(i, 2, analysis::FormatSizeKB(n));
    lvMain->SetCell(i, 3, analysis::RowReduction(o, n));
  }
  const analysis::Totals t = analysis::ComputeTotals(totalOld, totalNew, UserDecimalSeparator());
  lCurrentRegistrySize->SetCaption(t.currentSize);
  lNewRegistrySize->SetCaption(t.newSize);
  lSizeReduction->SetCaption(t.sizeReduction);
  lCompactPercent->SetCaption(t.compactPercent);
  if (t.advise && !SilentMode) ui::MessageBoxApp(analysis::AdviceText(lCompactPercent->Caption()), MB_OK, hwnd());
}
