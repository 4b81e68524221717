// The main window: the hive list, the totals, the buttons of every action.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ui/components.h"

// Exit codes of the unattended modes.
enum : int {
  kExitOk = 0,               // the analysis succeeded and what was asked was done
  kExitAnalysisFailed = 1,   // no hives, a snapshot held open, or an implausible result
  kExitReportNotWritten = 2, // "/Scan": the report file could not be written
  kExitRestartRefused = 3,   // "/Silent": Windows refused the restart request
  kExitNoWindow = 4,         // the main window could not be created
};

class TfrmMain : public ui::TForm {
 public:
  TfrmMain();
  ~TfrmMain() override;

  // State held for the whole run.
  std::vector<std::string> HiveNames;
  std::vector<std::string> HiveFiles;
  bool SilentMode = false;
  std::uint8_t WindowsVersionCode = 0;
  bool IsWow64 = false;
  // What the unattended modes leave for the process's exit code.
  int ExitCode = 0;
  // The latest defragmentation sent its requests, and Windows took the restart.
  bool DefragDone = false;
  bool RestartRequested = false;

  // Controls.
  ui::TImage* Image1;
  ui::TLabel* lTitle;
  ui::TsuiImageButton* bMinimize;
  ui::TWlmShiftImage* bClose;
  ui::TsuiURLLabel* suiURLLabel1;
  ui::TLabel* lTitle1;
  ui::TsuiImagePanel* suiImagePanel1;
  ui::TFlatSpeedButton* bAnalyzeRegistry;
  ui::TFlatSpeedButton* bDefragRegistry;
  ui::TFlatSpeedButton* bOptions;
  ui::TLabel* lTitle3;
  ui::TsuiImagePanel* suiImagePanel2;
  ui::TFlatSpeedButton* bHomepage;
  ui::TFlatSpeedButton* bLanguage;
  ui::TFlatSpeedButton* bAbout;
  ui::TFlatSpeedButton* bExit;
  ui::TListView* lvMain;
  ui::TLabel* lLastWashed;
  ui::TLabel* Label4;
  ui::TLabel* Label5;
  ui::TLabel* lCompactPercent1;
  ui::TLabel* lCurrentRegistrySize;
  ui::TLabel* lNewRegistrySize;
  ui::TLabel* lSizeReduction;
  ui::TLabel* lCompactPercent;
  ui::TLabel* Label6;
  ui::TLabel* Label2;
  ui::TLabel* Label1;
  ui::TLabel* Label3;
  ui::TPopupMenu* pmHelp;
  ui::TPopupMenu* pmLanguage;

  // Events.
  void FormCreate();
  void FormShow();
  void FormClose();
  void bMinimizeClick();
  void bExitClick();
  void bCloseClick();
  void bHelpClick();
  void bAboutClick();
  void Homepage1Click();
  void pmiHelpClick();
  void pmiCheckUpdateClick();
  void bHomepageClick();
  void bLanguageClick();
  void miEnglishClick(ui::TMenuItem* sender);
  void bAnalyzeRegistryClick();
  void bDefragRegistryClick();
  void bOptionsClick();

  void ReadHiveList();
  void MarkCurrentLanguage();
  void FitSpeedButtonWidths();

  bool HandleMessage(unsigned msg, std::uintptr_t wParam, std::intptr_t lParam,
                     std::intptr_t* result) override;

 private:
  void AddMenuItem(ui::TPopupMenu* menu, const std::string& name, const std::string& caption,
                   void (TfrmMain::*handler)());
  void WMShowMain();
  void WMSilentDefrag();
  void WMSilentScan();
  LRESULT WMNCHitTest(WPARAM wParam, LPARAM lParam);
  HWND hwnd() const { return reinterpret_cast<HWND>(Handle()); }
};

// Opens a web page with the shell's "Open" verb.
void OpenPage(HWND owner, const std::string& address, int showCommand = SW_SHOW);
