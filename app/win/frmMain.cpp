#include "app/win/frmMain.h"

#include <shellapi.h>
#include <windowsx.h>

#include <memory>

#include "app/main_logic.h"
#include "app/messages.h"
#include "app/site.h"
#include "app/win/frmAbout.h"
#include "common/strutil.h"
#include "common/win/worker.h"
#include "hive/catalogue.h"
#include "hive/probes.h"
#include "hive/snapshot.h"
#include "i18n/language.h"
#include "i18n/translate.h"
#include "res/resource.h"
#include "settings/options.h"
#include "settings/win/frmOptions.h"
#include "hive/system.h"
#include "ui/win/toolkit.h"

using namespace ui;

namespace {

template <class T>
T* Place(T* c, int left, int top, int width, int height, const std::string& caption = "") {
  c->SetBounds(left, top, width, height);
  c->SetCaption(caption);
  return c;
}

TFlatSpeedButton* FlatButton(TForm* f, const std::string& name, int left, int top, int width,
                             const std::string& caption, const std::string& hint, std::uint32_t border) {
  auto* b = Place(new TFlatSpeedButton(f, name), left, top, width, 25, caption);
  b->SetHint(hint);
  b->SetShowHint(true);
  b->ColorBorder = border;
  return b;
}

TLabel* Label(TForm* f, const std::string& name, int left, int top, int width, const std::string& caption,
              bool bold = false, bool autoSize = true) {
  auto* l = Place(new TLabel(f, name), left, top, width, bold ? 16 : 13, caption);
  l->SetAutoSize(autoSize);
  if (bold) l->Font().bold = true;
  return l;
}

}  // namespace

void OpenPage(HWND owner, const std::string& address, int showCommand) {
  ShellExecuteA(owner, "Open", address.c_str(), nullptr, nullptr, showCommand);
}

TfrmMain::TfrmMain() : TForm(nullptr, "frmMain") {
  WindowClassName = product::kMainWindowClass;
  BorderStyle = TBorderStyle::None;
  ClientWidth = 556;
  ClientHeight = 392;
  SetCaption(product::kTitle);

  Image1 = Place(new TImage(this, "Image1"), 0, 0, 556, 393);
  Image1->SetPicture({TPicture::Kind::Jpeg, IDR_BACKGROUND});
  Image1->Stretch = true;
  Image1->FormBackground = true;

  lTitle1 = Label(this, "lTitle1", 13, 67, 88, "Main", true);
  suiImagePanel1 = Place(new TsuiImagePanel(this, "suiImagePanel1"), 11, 85, 100, 1);
  bAnalyzeRegistry = FlatButton(this, "bAnalyzeRegistry", 13, 93, 94, "Analyze Registry", "Analyze your registry", 14606560);
  bDefragRegistry = FlatButton(this, "bDefragRegistry", 13, 122, 91, "Defrag Registry", "Defrag your registry", 14606560);
  bDefragRegistry->SetEnabled(false);
  bOptions = FlatButton(this, "bOptions", 12, 151, 56, "Options", "Settings", 14869732);
  Label1 = Label(this, "Label1", 353, 348, 155, "2. Review the analyzing result.");
  Label3 = Label(this, "Label3", 353, 366, 195, "3. Defrag the registry and restart the pc.");
  Label2 = Label(this, "Label2", 353, 330, 163, "1. Analyze the Windows registry.");
  lTitle3 = Label(this, "lTitle3", 13, 193, 72, "Help", true);
  suiImagePanel2 = Place(new TsuiImagePanel(this, "suiImagePanel2"), 11, 213, 100, 1);
  bLanguage = FlatButton(this, "bLanguage", 16, 252, 64, "Language", "Change display language", 16054005);
  bAbout = FlatButton(this, "bAbout", 16, 283, 37, "Help", "Click to popup the menu", 15790833);
  bHomepage = FlatButton(this, "bHomepage", 15, 221, 68, "Homepage", "Homepage", 15658993);
  lLastWashed = Label(this, "lLastWashed", 116, 312, 109, "Current Registry Size:");
  Label4 = Label(this, "Label4", 116, 330, 101, "New Registry Size:");
  Label5 = Label(this, "Label5", 116, 348, 93, "Size Reduction:");
  lCurrentRegistrySize = Label(this, "lCurrentRegistrySize", 222, 312, 70, "1,232,757 KB", false, false);
  lNewRegistrySize = Label(this, "lNewRegistrySize", 222, 330, 70, "1,000,000 KB", false, false);
  lSizeReduction = Label(this, "lSizeReduction", 222, 348, 70, "232,757 KB", false, false);
  lCompactPercent1 = Label(this, "lCompactPercent1", 117, 366, 92, "Compact Percent:");
  lCompactPercent = Label(this, "lCompactPercent", 222, 366, 70, "18.9%", false, false);
  for (TLabel* l : {lCurrentRegistrySize, lNewRegistrySize, lSizeReduction, lCompactPercent})
    l->SetAlignment(TAlignment::Right);
  suiURLLabel1 = Place(new TsuiURLLabel(this, "suiURLLabel1"), 436, 38, 81, 13, "www.tolvik.example");
  suiURLLabel1->SetAutoSize(true);
  suiURLLabel1->URL = site::kBaseAddress;
  Label6 = Label(this, "Label6", 342, 312, 0, "Step Hint:");
  bExit = FlatButton(this, "bExit", 16, 314, 35, "Exit", "Exit", 15329770);
  lTitle = Label(this, "lTitle", 17, 12, 0, product::kTitle, true);
  lTitle->Font().height = -13;

  bMinimize = Place(new TsuiImageButton(this, "bMinimize"), 488, 9, 24, 24);
  bMinimize->PictureNormal = {TPicture::Kind::Bitmap, IDB_MIN};
  bMinimize->PictureHover = {TPicture::Kind::Bitmap, IDB_MIN_HOVER};
  bMinimize->PictureDown = {TPicture::Kind::Bitmap, IDB_MIN_DOWN};
  bMinimize->SetHint("Minimize");
  bMinimize->SetShowHint(true);
  bClose = Place(new TWlmShiftImage(this, "bClose"), 517, 9, 24, 24);
  const TPicture closePicture{TPicture::Kind::Bitmap, IDB_CLOSE};
  bClose->SetPicture(closePicture);
  bClose->SetNoFocusedPicture(closePicture);
  bClose->SetFocusedPicture({TPicture::Kind::Bitmap, IDB_CLOSE_HOVER});
  bClose->SetHint("Minimize to system tray");
  bClose->SetShowHint(true);

  lvMain = Place(new TListView(this, "lvMain"), 119, 65, 423, 236);
  lvMain->AddColumn("Hive Name", 205, TAlignment::Left);
  lvMain->AddColumn("Current Size", 72, TAlignment::Right);
  lvMain->AddColumn("New Size", 70, TAlignment::Right);
  lvMain->AddColumn("Reduction", 65, TAlignment::Right);
  lvMain->SetTabOrder(0);

  pmHelp = new TPopupMenu(this, "pmHelp");
  AddMenuItem(pmHelp, "pmiHelp", "&Help", &TfrmMain::pmiHelpClick);
  AddMenuItem(pmHelp, "N5", "-", nullptr);
  AddMenuItem(pmHelp, "Homepage1", "H&omepage", &TfrmMain::Homepage1Click);
  AddMenuItem(pmHelp, "N1", "-", nullptr);
  AddMenuItem(pmHelp, "pmiCheckUpdate", "&Check for Update", &TfrmMain::pmiCheckUpdateClick);
  AddMenuItem(pmHelp, "N7", "-", nullptr);
  AddMenuItem(pmHelp, "About1", "&About...", &TfrmMain::bAboutClick);
  Image1->PopupMenu = pmHelp;

  pmLanguage = new TPopupMenu(this, "pmLanguage");
  static const char* const kLanguages[][2] = {
      {"miBrazilianPortuguese", "&Brazilian Portuguese"}, {"miChinese", "&Chinese"}, {"miCzech", "C&zech"},
      {"miDanish", "D&anish"}, {"miDutch", "&Dutch"}, {"miEnglish", "&English"}, {"miFinnish", "F&innish"},
      {"miFrench", "&French"}, {"miGerman", "&German"}, {"miGreek", "G&reek"}, {"miItalian", "&Italian"},
      {"miJapanese", "&Japanese"}, {"miKurdish", "&Kurdish"}, {"miPolish", "&Polish"},
      {"miPortuguese", "P&ortuguese"}, {"miRussian", "&Russian"}, {"miSlovenian", "S&lovenian"},
      {"miSpanish", "&Spanish"}, {"miSwedish", "S&wedish"}, {"miTurkish", "&Turkish"},
      {"miUkranian", "&Ukranian"}, {"N6", "-"}, {"miOther", "Other"}};
  for (const auto& lang : kLanguages) {
    auto* item = new TMenuItem(pmLanguage, lang[0], lang[1]);
    if (!item->IsSeparator()) item->OnClick = [this](TMenuItem* s) { miEnglishClick(s); };
  }

  bAnalyzeRegistry->OnClick = [this] { bAnalyzeRegistryClick(); };
  bDefragRegistry->OnClick = [this] { bDefragRegistryClick(); };
  bOptions->OnClick = [this] { bOptionsClick(); };
  bHomepage->OnClick = [this] { bHomepageClick(); };
  bLanguage->OnClick = [this] { bLanguageClick(); };
  bAbout->OnClick = [this] { bHelpClick(); };
  bExit->OnClick = [this] { bExitClick(); };
  bMinimize->OnClick = [this] { bMinimizeClick(); };
  bClose->OnClick = [this] { bCloseClick(); };
  suiURLLabel1->OnClick = [this] { OpenPage(hwnd(), suiURLLabel1->URL, SW_SHOW); };

  OnShow = [this] { FormShow(); };
  OnClose = [this] { FormClose(); };
  FormCreate();
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::AddMenuItem(TPopupMenu* menu, const std::string& name, const std::string& caption,
                           void (TfrmMain::*handler)()) {
  auto* item = new TMenuItem(menu, name, caption);
  if (handler) item->OnClick = [this, handler](TMenuItem*) { (this->*handler)(); };
}

// ------------------------------------------------------------ start-up

void TfrmMain::FormCreate() {
  LoadSaveOptions(true);
  HiveNames.clear();
  HiveFiles.clear();
  for (TLabel* l : {lCurrentRegistrySize, lNewRegistrySize, lSizeReduction, lCompactPercent}) l->SetCaption("");
  SilentMode = false;
  lTitle->SetCaption(lTitle->Caption() + " " + product::kVersion);
  MoveButtonsUp(*bHomepage, *bLanguage, *bAbout, *bExit);
}

void TfrmMain::FormShow() {
  IsWow64 = hive::RunningUnderWow64();
  ReadHiveList();
  for (const std::string& name : HiveNames) lvMain->AddRow({name, "", "", ""});
  WindowsVersionCode = hive::GetWindowsVersionCode();
  switch (WindowsVersionCode) {
    case 5: case 6: case 7: case 9: case 10: case 11: case 12:
      break;
    default:
      MessageBoxApp("The software does not support the current Windows system!", MB_OK, hwnd());
      return;
  }
  lvMain->SetGridLines(OptionsSetting.IsShowLine);
  MarkCurrentLanguage();
  if (!IsEnglish(OptionsSetting.Lan)) TranslateForm(*this, OptionsSetting.Lan);
  FitSpeedButtonWidths();

  const std::vector<std::string> args = SplitCommandLine(GetCommandLineA());
  Switch s = SwitchOf(args);
  if (s == Switch::Silent) {
    SilentMode = true;
    PostMessageA(hwnd(), WM_SILENTDEFRAG, 0, 0);
  }
  if (s == Switch::Scan) {
    SilentMode = true;
    PostMessageA(hwnd(), WM_SILENTSCAN, 0, 0);
  }
}

void TfrmMain::ReadHiveList() { hive::ReadHiveList(IsWow64, HiveNames, HiveFiles); }

void TfrmMain::MarkCurrentLanguage() { ::MarkCurrentLanguage(*pmLanguage, OptionsSetting.Lan); }

void TfrmMain::FitSpeedButtonWidths() {
  for (TComponent* c : Components())
    if (auto* b = As<TFlatSpeedButton>(c)) b->SetWidth(TextWidth(*this, b->Caption()) + 17);
}

void TfrmMain::WMShowMain() {
  ShowWindow(hwnd(), SW_SHOW);
  if (IsIconic(hwnd())) ShowWindow(hwnd(), SW_RESTORE);
  SetForegroundWindow(hwnd());
}

// --------------------------------------------------------------- frame

LRESULT TfrmMain::WMNCHitTest(WPARAM wParam, LPARAM lParam) {
  LRESULT r = DefWindowProcA(hwnd(), WM_NCHITTEST, wParam, lParam);
  if (r == HTCLIENT) {
    RECT wr;
    GetWindowRect(hwnd(), &wr);
    if (IsDragArea(*this, GET_X_LPARAM(lParam) - wr.left, GET_Y_LPARAM(lParam) - wr.top)) r = HTCAPTION;
  }
  return r;
}

void TfrmMain::bMinimizeClick() { PostMessageA(hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0); }

void TfrmMain::bExitClick() { Close(); }

void TfrmMain::bCloseClick() { bExitClick(); }

void TfrmMain::FormClose() {
  // A worker still finishing an abandoned run would leave its snapshot behind.
  WaitForLastWorker(120000);
  for (const std::string& file : HiveFiles) {
    const std::string snapshot = file + ".hvx";
    if (sys::Sys().FileExists(snapshot)) sys::Sys().DeleteFileA(snapshot);
  }
  HiveNames.clear();
  HiveFiles.clear();
  LoadSaveOptions(false);
}

bool TfrmMain::HandleMessage(unsigned msg, std::uintptr_t wParam, std::intptr_t lParam, std::intptr_t* result) {
  switch (msg) {
    case WM_NCHITTEST:
      *result = WMNCHitTest(wParam, lParam);
      return true;
    case WM_NCLBUTTONDBLCLK:
      // The background is a caption only for dragging.
      if (wParam == HTCAPTION) {
        *result = 0;
        return true;
      }
      return false;
    // A right click on the bare background, which answers as a caption: the
    // press is kept from the default handling, which would swallow the release.
    case WM_NCRBUTTONDOWN:
      if (wParam != HTCAPTION) return false;
      *result = 0;
      return true;
    case WM_NCRBUTTONUP:
      if (wParam != HTCAPTION) return false;
      Image1->PopupMenu->Popup(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      *result = 0;
      return true;
    case WM_CONTEXTMENU: {
      POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      if (lParam == -1) {
        pt = {Image1->Left() + 20, Image1->Top() + 40};
        ClientToScreen(hwnd(), &pt);
      }
      RECT wr;
      GetWindowRect(hwnd(), &wr);
      if (lParam == -1 || IsDragArea(*this, pt.x - wr.left, pt.y - wr.top)) Image1->PopupMenu->Popup(pt.x, pt.y);
      *result = 0;
      return true;
    }
    case WM_SHOWMAIN:
      WMShowMain();
      return true;
    case WM_SILENTDEFRAG:
      WMSilentDefrag();
      return true;
    case WM_SILENTSCAN:
      WMSilentScan();
      return true;
  }
  return false;
}

// ------------------------------------------------------- help and pages

void TfrmMain::bHelpClick() {
  POINT pt;
  GetCursorPos(&pt);
  pmHelp->Popup(pt.x, pt.y);
}

void TfrmMain::bAboutClick() {
  auto about = std::make_unique<TfrmAbout>(this);
  about->ShowModal();
}

void TfrmMain::Homepage1Click() { OpenPage(hwnd(), site::kHomePage); }
void TfrmMain::pmiHelpClick() { OpenPage(hwnd(), site::kHelpPage); }
void TfrmMain::pmiCheckUpdateClick() { OpenPage(hwnd(), site::kUpdatePage); }
void TfrmMain::bHomepageClick() { OpenPage(hwnd(), site::kHomePage); }

// ------------------------------------------------------------ languages

void TfrmMain::bLanguageClick() {
  POINT pt;
  GetCursorPos(&pt);
  pmLanguage->Popup(pt.x, pt.y);
}

void TfrmMain::miEnglishClick(TMenuItem* sender) {
  try {
    const std::string language = LanguageOfItem(sender->Name());
    const std::string path = LanguageFilePath(language);
    if (!path.empty() && sys::Sys().FileExists(path)) {
      OptionsSetting.Lan = language;
      for (TMenuItem* item : pmLanguage->Items()) item->SetChecked(false);
      sender->SetChecked(true);
      TranslateForm(*this, language);
      FitSpeedButtonWidths();
    } else {
      std::string text = path + " " + LoadLanString("RES_Not_Found", "can not be found.");
      if (language == "Other") text += "\r\n\r\nPlease visit " + site::kTranslationPage;
      MessageBoxApp(text, MB_OK, hwnd());
      OpenPage(hwnd(), site::kTranslationPage, SW_SHOWNORMAL);
    }
  } catch (...) {
    // A failed switch keeps what was done; the user sees the result on screen.
  }
}

// -------------------------------------------- analysis and defragmenting

void TfrmMain::bOptionsClick() {
  auto options = std::make_unique<TfrmOptions>(this);
  if (options->ShowModal() == mrOk) {
    lvMain->SetGridLines(OptionsSetting.IsShowLine);
    LoadSaveOptions(false);
  }
}
