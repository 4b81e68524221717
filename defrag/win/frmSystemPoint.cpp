#include "defrag/win/frmSystemPoint.h"

#include <windows.h>

#include <cstring>

#include "app/messages.h"
#include "app/site.h"
#include "defrag/restore_logic.h"
#include "i18n/language.h"
#include "i18n/translate.h"
#include "settings/options.h"
#include "ui/win/toolkit.h"

using namespace ui;

namespace {

#pragma pack(push, 1)
struct RestorePointInfoA {
  DWORD dwEventType;
  DWORD dwRestorePtType;
  INT64 llSequenceNumber;
  CHAR szDescription[64];
};
struct StateMgrStatus {
  DWORD nStatus;
  INT64 llSequenceNumber;
};
#pragma pack(pop)

using SRSetRestorePointAFn = BOOL(WINAPI*)(RestorePointInfoA*, StateMgrStatus*);

constexpr DWORD kBeginSystemChange = 100;
constexpr DWORD kApplicationInstall = 0;

}  // namespace

std::string SystemLibraryPath(const std::string& fileName) {
  char dir[MAX_PATH + 1] = {};
  UINT n = GetSystemDirectoryA(dir, MAX_PATH);
  if (n == 0 || n > MAX_PATH) return std::string();
  return std::string(dir, n) + "\\" + fileName;
}

TCreateSystemPointThread::TCreateSystemPointThread(std::shared_ptr<WorkerLink> notify)
    : NotifyWnd(std::move(notify)), LibraryPath(SystemLibraryPath("SrClient.dll")) {}

void TCreateSystemPointThread::Start(std::unique_ptr<TCreateSystemPointThread> self) {
  std::shared_ptr<TCreateSystemPointThread> owned(self.release());
  StartDetachedWorker([owned] { owned->Execute(); });
}

void TCreateSystemPointThread::Execute() {
  LPARAM failed = 1;
  HMODULE lib = nullptr;
  // A relative or empty path would let the loader search: refuse it.
  if (LibraryPath.size() > 2 && LibraryPath[1] == ':' && LibraryPath[2] == '\\')
    lib = LoadLibraryExA(LibraryPath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (lib) {
    auto fn = reinterpret_cast<SRSetRestorePointAFn>(reinterpret_cast<void*>(GetProcAddress(lib, "SRSetRestorePointA")));
    if (fn) {
      RestorePointInfoA info;
      std::memset(&info, 0, sizeof info);
      info.dwEventType = kBeginSystemChange;
      info.dwRestorePtType = kApplicationInstall;
      info.llSequenceNumber = 0;
      std::strncpy(info.szDescription, "Made by Tolvik Sorvane", sizeof info.szDescription - 1);
      StateMgrStatus status;
      std::memset(&status, 0, sizeof status);
      if (fn(&info, &status)) failed = 0;
    }
  }
  NotifyWnd->SetFinished();
  NotifyWnd->Post(WM_RESTOREPOINTDONE, 0, failed);
  if (lib) FreeLibrary(lib);
}

// ---------------------------------------------------------------- dialog

TfrmSystemPoint::TfrmSystemPoint(TForm* owner) : TForm(owner, "frmSystemPoint") {
  SetCaption("Create System Point");
  BorderStyle = TBorderStyle::Dialog;
  CloseBox = false;
  ClientWidth = 385;
  ClientHeight = 150;
  LibraryPath = SystemLibraryPath("SrClient.dll");

  suiGroupBox1 = new TsuiGroupBox(this, "suiGroupBox1");
  suiGroupBox1->SetBounds(8, 6, 369, 136);
  auto label = [this](const std::string& name, int top, const std::string& text) {
    return NewLabel(this, name, 16, top, text, suiGroupBox1);
  };
  lScanTask = label("lScanTask", 18, "Creating Restore Point");
  lScanTask->Font().bold = true;
  Label1 = label("Label1", 42, "Tolvik Hivara is creating a restore point which will");
  Label2 = label("Label2", 82, "Please wait...");
  Label3 = label("Label3", 58, "enable you to safely return your system back to its former state.");
  ProgressBar1 = new TsuiProgressBar(this, "ProgressBar1");
  ProgressBar1->SetParent(suiGroupBox1);
  ProgressBar1->SetBounds(16, 104, 337, 16);
  ProgressBar1->Min = 0;
  ProgressBar1->Max = 100;
  ProgressBar1->ShowCaption = false;
  Timer1 = new TTimer(this, "Timer1");
  Timer1->SetInterval(1000);
  Timer1->SetEnabled(true);

  Timer1->OnTimer = [this] { Timer1Timer(); };
  OnShow = [this] { FormShow(); };
  OnClose = [this] { FormClose(); };
}

TfrmSystemPoint::~TfrmSystemPoint() {
  if (RestoreThread) RestoreThread->Abandon();
}

void TfrmSystemPoint::FormShow() {
  ResultReceived = false;
  RestoreThread = std::make_shared<WorkerLink>(reinterpret_cast<HWND>(Handle()));
  auto worker = std::make_unique<TCreateSystemPointThread>(RestoreThread);
  worker->LibraryPath = LibraryPath;
  TCreateSystemPointThread::Start(std::move(worker));
  if (!IsEnglish(OptionsSetting.Lan)) TranslateForm(*this, OptionsSetting.Lan);
}

void TfrmSystemPoint::Timer1Timer() { ProgressBar1->SetPosition(NextRestoreBarPosition(ProgressBar1->Position())); }

void TfrmSystemPoint::WMRestorePointDone(std::intptr_t lParam) {
  if (ResultReceived) return;
  SetModalResult(mrOk);
  if (lParam == 1) {
    int answer = MessageBoxApp(
        "Restore Point creation Failed! Please check whether you close the system restore. Contiue to defrag?",
        MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON2, reinterpret_cast<HWND>(Handle()));
    if (answer == IDNO) SetModalResult(mrCancel);
  }
  ResultReceived = true;
  Close();
}

void TfrmSystemPoint::FormClose() {
  if (ResultReceived) return;
  // Closed before the result: the worker's request is left to finish on its
  // own (cutting it off inside System Restore is not safe) and is not heard.
  if (RestoreThread) RestoreThread->Abandon();
  SetModalResult(mrCancel);
}

bool TfrmSystemPoint::HandleMessage(unsigned msg, std::uintptr_t, std::intptr_t lParam, std::intptr_t* result) {
  if (msg != WM_RESTOREPOINTDONE) return false;
  WMRestorePointDone(lParam);
  *result = 0;
  return true;
}
