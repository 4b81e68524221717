#include "analysis/win/frmGetNewHiveProgess.h"

#include <windows.h>

#include "app/messages.h"
#include "app/win/frmMain.h"
#include "hive/snapshot.h"
#include "i18n/language.h"
#include "i18n/translate.h"
#include "settings/options.h"

using namespace ui;

namespace {
// The memo's text changed; the worker's latest text is in the link.
constexpr unsigned WM_MEMOTEXT = WM_APP + 1;
const char kFinish[] = "Finish";

// The clock in 100 ns steps (the time of day, as the first hive's time is).
ULONGLONG Now100ns() {
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  return (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}
}  // namespace

TScanTaskThread::TScanTaskThread(std::shared_ptr<WorkerLink> link, std::vector<std::string> names,
                                 std::vector<std::string> files, bool isWow64)
    : NotifyWnd(std::move(link)), NameList(std::move(names)), FileList(std::move(files)), IsWow64(isWow64) {}

void TScanTaskThread::Start(std::unique_ptr<TScanTaskThread> self) {
  std::shared_ptr<TScanTaskThread> owned(self.release());
  StartDetachedWorker([owned] { owned->Execute(); });
}

void TScanTaskThread::Execute() {
  hive::EnableBackupPrivilege();
  std::uint32_t firstHiveMs = 0;
  bool complete = true;
  for (std::size_t i = 0; i < NameList.size() && i < FileList.size(); ++i) {
    if (NotifyWnd->StopRequested()) {
      complete = false;
      break;
    }
    NotifyWnd->PostText(NameList[i], WM_MEMOTEXT);
    ULONGLONG started = i == 0 ? Now100ns() : 0;
    hive::SaveHiveToFile(NameList[i], FileList[i] + ".hvx", IsWow64);
    if (i == 0) firstHiveMs = static_cast<std::uint32_t>((Now100ns() - started + 5000) / 10000);
    NotifyWnd->Post(WM_HIVESAVED, firstHiveMs, static_cast<LPARAM>(i + 1));
  }
  if (complete) NotifyWnd->PostText(kFinish, WM_MEMOTEXT);
  NotifyWnd->SetFinished();
  NotifyWnd->Post(WM_CLOSE, 0, 0);
}

// ---------------------------------------------------------------- dialog

TfrmGetNewHiveProgess::TfrmGetNewHiveProgess(TfrmMain* owner)
    : TForm(owner, "frmGetNewHiveProgess"),
      main_(owner),
      estimate_(owner->HiveFiles.size(), owner->IsWow64,
                analysis::SizeSource{[owner](std::size_t i) { return hive::GetFileSize64(owner->HiveFiles.at(i)); },
                                     [owner](std::size_t i) {
                                       return hive::GetFileSize64(owner->HiveFiles.at(i) + ".hvx");
                                     }}) {
  SetCaption("Defrag Registry");
  BorderStyle = TBorderStyle::Dialog;
  ClientWidth = 394;
  ClientHeight = 181;

  bStop = new TsuiButton(this, "bStop");
  bStop->SetBounds(157, 142, 80, 27);
  bStop->SetCaption("Stop");
  GroupBox1 = new TGroupBox(this, "GroupBox1");
  GroupBox1->SetBounds(8, 8, 377, 121);
  Label1 = NewLabel(this, "Label1", 16, 18, "Analyzing registry. Please wait.", GroupBox1);
  ProgressBar1 = new TsuiProgressBar(this, "ProgressBar1");
  ProgressBar1->SetParent(GroupBox1);
  ProgressBar1->SetBounds(16, 40, 345, 18);
  ProgressBar1->Min = 0;
  ProgressBar1->Max = 1000;
  Label2 = NewLabel(this, "Label2", 16, 74, "Checking: ", GroupBox1);
  Memo1 = new TMemo(this, "Memo1");
  Memo1->SetParent(GroupBox1);
  Memo1->SetBounds(75, 74, 286, 32);
  Memo1->SetText("Registry Key");
  Timer1 = new TTimer(this, "Timer1");
  Timer1->SetInterval(1000);

  bStop->OnClick = [this] { bStopClick(); };
  Timer1->OnTimer = [this] { Timer1Timer(); };
  OnShow = [this] { FormShow(); };
  OnActivate = [this] { FormActivate(); };
  OnClose = [this] { FormClose(); };
}

TfrmGetNewHiveProgess::~TfrmGetNewHiveProgess() {
  // However the dialog went, the worker may not reach it any more.
  if (link_) link_->Abandon();
}

void TfrmGetNewHiveProgess::ShowPosition() { ProgressBar1->SetPosition(estimate_.Position()); }

void TfrmGetNewHiveProgess::FormShow() {
  estimate_.FormShow();
  Stopped = false;
  ShowPosition();
  if (!IsEnglish(OptionsSetting.Lan)) TranslateForm(*this, OptionsSetting.Lan);
}

void TfrmGetNewHiveProgess::FormActivate() {
  PostMessageA(reinterpret_cast<HWND>(Handle()), WM_STARTSCAN, 0, 0);
}

void TfrmGetNewHiveProgess::WMStartScan() {
  // Activation can come again (another window was in front): one run only.
  if (started_) return;
  started_ = true;
  if (main_->SilentMode) ShowWindow(reinterpret_cast<HWND>(Handle()), SW_HIDE);
  link_ = std::make_shared<WorkerLink>(reinterpret_cast<HWND>(Handle()));
  TScanTaskThread::Start(std::make_unique<TScanTaskThread>(link_, main_->HiveNames, main_->HiveFiles, main_->IsWow64));
  estimate_.StartScan();
  Timer1->SetEnabled(true);
}

void TfrmGetNewHiveProgess::WMHiveSaved(std::uint32_t firstHiveMs, std::int32_t count) {
  estimate_.HiveSaved(firstHiveMs, count);
  ShowPosition();
}

void TfrmGetNewHiveProgess::Timer1Timer() {
  bool keep = estimate_.TimerTick();
  ShowPosition();
  if (!keep) Timer1->SetEnabled(false);
}

void TfrmGetNewHiveProgess::bStopClick() {
  Stopped = true;
  Label1->SetCaption("Stop Process...");
  Timer1->SetEnabled(false);
  if (link_) link_->RequestStop();
  bStop->SetEnabled(false);
}

void TfrmGetNewHiveProgess::FormClose() {
  // Closed by the user during the run: the hive in hand is finished by the
  // worker (the registry's save service must not be cut off midway), the
  // rest is skipped and nothing more comes from it.
  if (link_ && !link_->Finished()) link_->Abandon();
  if (Timer1->Enabled()) Timer1->SetEnabled(false);
}

bool TfrmGetNewHiveProgess::HandleMessage(unsigned msg, std::uintptr_t wParam, std::intptr_t lParam,
                                          std::intptr_t* result) {
  switch (msg) {
    case WM_STARTSCAN:
      WMStartScan();
      break;
    case WM_HIVESAVED:
      WMHiveSaved(static_cast<std::uint32_t>(wParam), static_cast<std::int32_t>(lParam));
      break;
    case WM_MEMOTEXT:
      if (link_) Memo1->SetText(link_->Text());
      break;
    default:
      return false;
  }
  *result = 0;
  return true;
}
