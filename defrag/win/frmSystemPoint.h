// The restore point made before a defragmentation, and its worker.
#pragma once
#include <memory>
#include <string>

#include "common/win/worker.h"
#include "ui/components.h"

// Asks System Restore for one restore point and posts the outcome once.
class TCreateSystemPointThread {
 public:
  explicit TCreateSystemPointThread(std::shared_ptr<WorkerLink> notify);
  static void Start(std::unique_ptr<TCreateSystemPointThread> self);
  void Execute();

  std::shared_ptr<WorkerLink> NotifyWnd;
  // The System Restore client, by full path: the program runs elevated, so
  // the library may only come from the Windows system folder, never from a
  // folder a user could plant a copy in.
  std::string LibraryPath;
};

// Full path of a library in the Windows system folder.
std::string SystemLibraryPath(const std::string& fileName);

class TfrmSystemPoint : public ui::TForm {
 public:
  explicit TfrmSystemPoint(ui::TForm* owner);
  ~TfrmSystemPoint() override;

  ui::TsuiGroupBox* suiGroupBox1;
  ui::TLabel* lScanTask;
  ui::TLabel* Label1;
  ui::TLabel* Label2;
  ui::TLabel* Label3;
  ui::TsuiProgressBar* ProgressBar1;
  ui::TTimer* Timer1;

  bool ResultReceived = false;
  // Where the worker takes the System Restore client from (tests change it).
  std::string LibraryPath;

  void FormShow();
  void FormClose();
  void Timer1Timer();
  bool HandleMessage(unsigned msg, std::uintptr_t wParam, std::intptr_t lParam,
                     std::intptr_t* result) override;

 private:
  void WMRestorePointDone(std::intptr_t lParam);
  std::shared_ptr<WorkerLink> RestoreThread;
};
