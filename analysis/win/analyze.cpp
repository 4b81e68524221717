// The Analyze Registry button.
#include <windows.h>

#include <memory>

#include "analysis/analysis_flow.h"
#include "analysis/win/frmGetNewHiveProgess.h"
#include "app/win/frmMain.h"
#include "common/win/worker.h"
#include "ui/win/toolkit.h"

namespace {

std::string UserDecimalSeparator() {
  char buf[8] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buf, sizeof buf) <= 1) return ".";
  return buf;
}

}  // namespace

void TfrmMain::bAnalyzeRegistryClick() {
  analysis::AnalysisView view;
  view.runProgress = [this] {
    // A run abandoned earlier may still be finishing its hive; never let two
    // runs write the same snapshots.
    WaitForLastWorker(120000);
    auto dialog = std::make_unique<TfrmGetNewHiveProgess>(this);
    dialog->ShowModal();
    return dialog->Memo1->Text();
  };
  view.message = [this](const std::string& text) { ui::MessageBoxApp(text, MB_OK, hwnd()); };
  view.setRow = [this](std::size_t i, const std::string& cur, const std::string& nw, const std::string& red) {
    lvMain->SetCell(i, 1, cur);
    lvMain->SetCell(i, 2, nw);
    lvMain->SetCell(i, 3, red);
  };
  view.setTotals = [this](const analysis::Totals& t) {
    lCurrentRegistrySize->SetCaption(t.currentSize);
    lNewRegistrySize->SetCaption(t.newSize);
    lSizeReduction->SetCaption(t.sizeReduction);
    lCompactPercent->SetCaption(t.compactPercent);
  };
  view.setDefragEnabled = [this](bool on) { bDefragRegistry->SetEnabled(on); };
  analysis::RunAnalysis(HiveNames, HiveFiles, SilentMode, UserDecimalSeparator(), view);
}
