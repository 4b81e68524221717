// The progress dialog of an analysis and the worker that writes the snapshots.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "analysis/progress.h"
#include "common/win/worker.h"
#include "ui/components.h"

class TfrmMain;

// Saves every hive to its snapshot, in catalogue order, reporting to the
// dialog through its link only.
class TScanTaskThread {
 public:
  TScanTaskThread(std::shared_ptr<WorkerLink> link, std::vector<std::string> names,
                  std::vector<std::string> files, bool isWow64);
  // Starts the thread; the object then belongs to it and ends with it.
  static void Start(std::unique_ptr<TScanTaskThread> self);
  void Execute();

  std::shared_ptr<WorkerLink> NotifyWnd;  // the dialog, through the link
  std::vector<std::string> NameList;
  std::vector<std::string> FileList;
  bool IsWow64;
};

class TfrmGetNewHiveProgess : public ui::TForm {
 public:
  TfrmGetNewHiveProgess(TfrmMain* owner);
  ~TfrmGetNewHiveProgess() override;

  ui::TsuiButton* bStop;
  ui::TGroupBox* GroupBox1;
  ui::TLabel* Label1;
  ui::TsuiProgressBar* ProgressBar1;
  ui::TLabel* Label2;
  ui::TMemo* Memo1;
  ui::TTimer* Timer1;

  bool Stopped = false;

  void FormShow();
  void FormActivate();
  void FormClose();
  void bStopClick();
  void Timer1Timer();

  bool HandleMessage(unsigned msg, std::uintptr_t wParam, std::intptr_t lParam,
                     std::intptr_t* result) override;

 private:
  void WMStartScan();
  void WMHiveSaved(std::uint32_t firstHiveMs, std::int32_t count);
  void ShowPosition();

  TfrmMain* main_;
  analysis::ProgressEstimate estimate_;
  std::shared_ptr<WorkerLink> link_;  // null until the worker starts
  bool started_ = false;
};
