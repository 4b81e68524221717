// The unattended modes: "/Silent" analyses and defragments, "/Scan" analyses
// and writes the report. Both end the program, with an exit code scripts can
// act on.
#include <windows.h>

#include "app/main_logic.h"
#include "app/win/frmMain.h"
#include "common/ini.h"
#include "defrag/restore_logic.h"
#include "ui/win/toolkit.h"

namespace {

const char kReportSection[] = "Scan Result";

std::string LocalTimeText() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char date[128] = {}, time[128] = {};
  GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, date, sizeof date);
  GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &now, nullptr, time, sizeof time);
  return ReportTime(date, time, now.wHour, now.wMinute, now.wSecond);
}

}  // namespace

void TfrmMain::WMSilentDefrag() {
  ShowWindow(hwnd(), SW_HIDE);
  bAnalyzeRegistryClick();
  if (bDefragRegistry->Enabled()) {
    bDefragRegistryClick();
    ExitCode = !DefragDone ? kExitAnalysisFailed : RestartRequested ? kExitOk : kExitRestartRefused;
  } else {
    ExitCode = kExitAnalysisFailed;
  }
  Close();
}

void TfrmMain::WMSilentScan() {
  ShowWindow(hwnd(), SW_HIDE);
  const std::vector<std::string> args = SplitCommandLine(GetCommandLineA());
  const std::string reportPath = args.size() > 2 ? args[2] : std::string();
  try {
    if (!reportPath.empty()) ini::OpenIni(reportPath)->EraseSection(kReportSection);
    bAnalyzeRegistryClick();
    ExitCode = bDefragRegistry->Enabled() ? kExitOk : kExitAnalysisFailed;
    if (!reportPath.empty()) {
      auto report = ini::OpenIni(reportPath);
      report->WriteString(kReportSection, "Current Size", lCurrentRegistrySize->Caption());
      report->WriteString(kReportSection, "New Size", lNewRegistrySize->Caption());
      report->WriteString(kReportSection, "Size Reduction", lSizeReduction->Caption());
      report->WriteString(kReportSection, "Compact Percent", lCompactPercent->Caption());
      report->WriteString(kReportSection, "Time", LocalTimeText());
    }
  } catch (const std::exception& e) {
    // The rest is skipped; with no window left the program ends by itself.
    ui::ShowException(e.what());
    ExitCode = kExitReportNotWritten;
  }
  Close();
}
