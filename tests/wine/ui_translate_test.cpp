// A window of every component kind, translated from a real language file
// through the profile functions, read back from the real controls.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "common/app_paths.h"
#include "i18n/translate.h"
#include "ui/components.h"
#include "ui/win/toolkit.h"

using namespace ui;

namespace {

std::string TextOf(HWND h) {
  char buf[512] = {};
  GetWindowTextA(h, buf, sizeof buf);
  return buf;
}

std::string Column(HWND lv, int i, int* fmt = nullptr) {
  char buf[256] = {};
  LVCOLUMNA col = {};
  col.mask = LVCF_TEXT | LVCF_FMT;
  col.pszText = buf;
  col.cchTextMax = sizeof buf;
  SendMessageA(lv, LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&col));
  if (fmt) *fmt = col.fmt & LVCFMT_JUSTIFYMASK;
  return buf;
}

struct TipQuery {
  HWND form;
  HWND tip;
};
BOOL CALLBACK FindTip(HWND h, LPARAM p) {
  auto* q = reinterpret_cast<TipQuery*>(p);
  char cls[64] = {};
  GetClassNameA(h, cls, sizeof cls);
  if (std::string(cls) == TOOLTIPS_CLASSA && GetWindow(h, GW_OWNER) == q->form) q->tip = h;
  return TRUE;
}

// The tooltip text of a control, or "<none>".
std::string TipOf(HWND form, HWND control) {
  TipQuery q = {form, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), FindTip, reinterpret_cast<LPARAM>(&q));
  if (!q.tip) return "<no tooltip window>";
  char buf[512] = {};
  TOOLINFOA ti = {};
  ti.cbSize = sizeof ti;
  ti.hwnd = form;
  ti.uId = reinterpret_cast<UINT_PTR>(control);
  ti.lpszText = buf;
  if (!SendMessageA(q.tip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&ti))) return "<none>";
  ti.lpszText = buf;
  SendMessageA(q.tip, TTM_GETTEXTA, sizeof buf, reinterpret_cast<LPARAM>(&ti));
  return buf;
}

class TranslatedWindow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { InitToolkit(GetModuleHandleA(nullptr)); }
  void SetUp() override {
    file_ = app::ExeDir() + "DLan_Kinds.ini";
    form_ = std::make_unique<TForm>(nullptr, "frmKinds");
    TForm* f = form_.get();
    f->SetCaption("Kinds");
    f->ClientWidth = 400;
    f->ClientHeight = 300;
    int y = 0;
    auto place = [&](TControl* c, const std::string& caption, bool hint) {
      c->SetBounds(4, y += 20, 150, 18);
      c->SetCaption(caption);
      c->SetHint(c->Name() + " hint");
      c->SetShowHint(hint);
      return c;
    };
    label = place(new TLabel(f, "lPlain"), "plain", false);
    quiet = place(new TLabel(f, "lQuiet"), "quiet", false);
    button = place(new TButton(f, "bButton"), "button", true);
    group = place(new TGroupBox(f, "GroupBox1"), "group", false);
    panel = place(new TPanel(f, "Panel2"), "panel", false);
    url = place(new TsuiURLLabel(f, "suiURLLabel1"), "www", false);
    flat = place(new TFlatSpeedButton(f, "bFlat"), "flat", true);
    check = place(new TsuiCheckBox(f, "cbCheck"), "check", false);
    skinned = place(new TsuiButton(f, "bSkinned"), "skinned", false);
    suiGroup = place(new TsuiGroupBox(f, "suiGroupBox1"), "sui group", false);
    image = place(new TsuiImageButton(f, "bMinimize"), "", true);
    memo = place(new TMemo(f, "Memo1"), "Registry Key", false);
    list = new TListView(f, "lvMain");
    list->SetBounds(200, 10, 190, 100);
    list->AddColumn("Hive Name", 80, TAlignment::Left);
    list->AddColumn("Current Size", 50, TAlignment::Right);
    list->AddColumn("New Size", 50, TAlignment::Right);
    menu = new TPopupMenu(f, "pmHelp");
    item = new TMenuItem(menu, "pmiHelp", "&Help");
    sep = new TMenuItem(menu, "N5", "-");
    f->Show();
    hwnd = FormHwnd(*f);
    ASSERT_TRUE(hwnd);
  }
  void TearDown() override {
    form_.reset();
    DeleteFileA(file_.c_str());
  }
  void Write(const std::string& text) {
    std::ofstream(file_, std::ios::binary) << text;
  }
  HWND H(TControl* c) { return ControlHwnd(*c); }

  std::string file_;
  std::unique_ptr<TForm> form_;
  HWND hwnd = nullptr;
  TControl *label, *quiet, *button, *group, *panel, *url, *flat, *check, *skinned, *suiGroup, *image, *memo;
  TListView* list;
  TPopupMenu* menu;
  TMenuItem *item, *sep;
};

TEST_F(TranslatedWindow, TextsOnScreenFollowTheFile) {
  Write(
      "[frmKinds]\r\nfrmKinds=Sortes\r\nlPlain=simple\r\nlQuietHint=aide cachee\r\nbButton=bouton\r\n"
      "bButtonHint=aide du bouton\r\nGroupBox1=groupe\r\nPanel2=panneau\r\nsuiURLLabel1=lien\r\nbFlat=plat\r\n"
      "bFlatHint=aide plate\r\ncbCheck=case\r\nbSkinned=\r\nsuiGroupBox1=groupe habille\r\nbMinimizeHint=Reduire\r\n"
      "Memo1=memo\r\nlvMain_Column2=Nouvelle\r\n[Menu_frmKinds]\r\npmiHelp=&Aide\r\nN5=oops\r\n");
  TranslateForm(*form_, "Kinds");
  EXPECT_EQ(TextOf(hwnd), "Sortes");
  EXPECT_EQ(TextOf(H(label)), "simple");
  EXPECT_EQ(TextOf(H(button)), "bouton");
  EXPECT_EQ(TextOf(H(group)), "groupe");
  EXPECT_EQ(TextOf(H(panel)), "panneau");
  EXPECT_EQ(TextOf(H(url)), "lien");
  EXPECT_EQ(TextOf(H(flat)), "plat");
  EXPECT_EQ(TextOf(H(check)), "case");
  EXPECT_EQ(TextOf(H(skinned)), "");  // an empty value empties the text
  EXPECT_EQ(TextOf(H(suiGroup)), "groupe habille");
  EXPECT_EQ(TextOf(H(memo)), "Registry Key");  // memos are not translated
  // Tooltips only where they are switched on.
  EXPECT_EQ(TipOf(hwnd, H(button)), "aide du bouton");
  EXPECT_EQ(TipOf(hwnd, H(flat)), "aide plate");
  EXPECT_EQ(TipOf(hwnd, H(image)), "Reduire");
  EXPECT_EQ(quiet->Hint(), "lQuiet hint");
  EXPECT_EQ(TipOf(hwnd, H(quiet)), "<none>");
  // Only the third heading changes, and it keeps its alignment.
  HWND lv = H(list);
  int fmt = -1;
  EXPECT_EQ(Column(lv, 0), "Hive Name");
  EXPECT_EQ(Column(lv, 1), "Current Size");
  EXPECT_EQ(Column(lv, 2, &fmt), "Nouvelle");
  EXPECT_EQ(fmt, LVCFMT_RIGHT);
  EXPECT_EQ(item->Caption(), "&Aide");
  EXPECT_EQ(sep->Caption(), "-");
}

TEST_F(TranslatedWindow, MissingFileAndCaseInsensitiveNames) {
  TranslateForm(*form_, "NoSuchLanguage");
  EXPECT_EQ(TextOf(hwnd), "Kinds");
  EXPECT_EQ(TextOf(H(button)), "button");
  Write("[FRMKINDS]\r\nBBUTTON=knopf\r\n");
  TranslateForm(*form_, "Kinds");
  EXPECT_EQ(TextOf(H(button)), "knopf");
  EXPECT_EQ(TextOf(H(label)), "plain");
}

}  // namespace
