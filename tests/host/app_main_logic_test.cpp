// Rules of the main window that need no window.
#include <gtest/gtest.h>

#include "app/main_logic.h"
#include "ui/components.h"

using namespace ui;

namespace {

TEST(DragArea, OnlyBareBackgroundDrags) {
  TForm f(nullptr, "frmMain");
  auto* bg = new TImage(&f, "Image1");
  bg->SetBounds(0, 0, 556, 393);
  auto* label = new TLabel(&f, "lTitle");
  label->SetBounds(17, 12, 100, 16);
  auto* link = new TsuiURLLabel(&f, "suiURLLabel1");
  link->SetBounds(436, 38, 81, 13);
  auto* flat = new TFlatSpeedButton(&f, "bExit");
  flat->SetBounds(16, 314, 35, 25);
  flat->SetVisible(false);
  auto* close = new TWlmShiftImage(&f, "bClose");
  close->SetBounds(517, 9, 24, 24);
  auto* list = new TListView(&f, "lvMain");  // windowed: not this test's business
  list->SetBounds(119, 65, 423, 236);
  auto* group = new TGroupBox(&f, "GroupBox1");
  group->SetBounds(200, 320, 50, 50);
  auto* inner = new TLabel(&f, "Label9");
  inner->SetParent(group);
  inner->SetBounds(5, 5, 10, 10);  // at 205..215, 325..335 in the window

  const struct { int x, y; bool drags; const char* what; } cases[] = {
      {300, 20, true, "title band outside the title label"},
      {17, 12, false, "title label's top-left corner"},
      {117, 28, false, "one past the label's right and bottom edges"},
      {118, 20, true, "two past the right edge"},
      {436 + 81, 38 + 13, false, "link label's far corner"},
      {30, 320, true, "hidden Exit button's designed slot"},
      {517, 9, false, "close button"},
      {541, 33, false, "close button's far corner"},
      {200, 150, true, "list view area"},
      {210, 330, false, "label inside a group box, by window position"},
      {5, 5, true, "Image1 itself never blocks"},
  };
  for (const auto& c : cases) EXPECT_EQ(IsDragArea(f, c.x, c.y), c.drags) << c.what;
}

TEST(ButtonSlots, EachButtonTakesTheSlotAbove) {
  TForm f(nullptr, "frmMain");
  auto* home = new TFlatSpeedButton(&f, "bHomepage");
  auto* lang = new TFlatSpeedButton(&f, "bLanguage");
  auto* about = new TFlatSpeedButton(&f, "bAbout");
  auto* exitB = new TFlatSpeedButton(&f, "bExit");
  home->SetBounds(15, 221, 68, 25);
  home->ColorBorder = 15658993;
  lang->SetBounds(16, 252, 64, 25);
  lang->ColorBorder = 16054005;
  about->SetBounds(16, 283, 37, 25);
  about->ColorBorder = 15790833;
  exitB->SetBounds(16, 314, 35, 25);
  exitB->ColorBorder = 15329770;
  MoveButtonsUp(*home, *lang, *about, *exitB);
  EXPECT_FALSE(home->Visible());
  EXPECT_EQ(lang->Top(), 221);
  EXPECT_EQ(lang->ColorBorder, 15658993u);
  EXPECT_EQ(about->Top(), 252);
  EXPECT_EQ(about->ColorBorder, 16054005u);
  EXPECT_EQ(exitB->Top(), 283);
  EXPECT_EQ(exitB->ColorBorder, 15790833u);
  EXPECT_EQ(lang->Left(), 16);  // only the top moves
}

TEST(LanguageMarks, MatchByNameWithoutCase) {
  TForm f(nullptr, "frmMain");
  auto* menu = new TPopupMenu(&f, "pmLanguage");
  auto* french = new TMenuItem(menu, "miFrench", "&French");
  auto* portuguese = new TMenuItem(menu, "miBrazilianPortuguese", "&Brazilian Portuguese");
  auto* sep = new TMenuItem(menu, "N6", "-");
  auto* other = new TMenuItem(menu, "miOther", "Other");
  const struct { const char* lan; TMenuItem* marked; } cases[] = {
      {"french", french}, {"FRENCH", french}, {"BrazilianPortuguese", portuguese},
      {"", sep}, {"Klingon", nullptr}, {"Other", other}};
  for (const auto& c : cases) {
    french->SetChecked(true);  // stale marks are cleared
    MarkCurrentLanguage(*menu, c.lan);
    for (TMenuItem* it : menu->Items()) EXPECT_EQ(it->Checked(), it == c.marked) << c.lan << " " << it->Name();
  }
  EXPECT_EQ(LanguageOfItem("miUkranian"), "Ukranian");
  EXPECT_EQ(LanguageOfItem("N6"), "");
}

TEST(CommandLine, SplitsLikeTheProgramArguments) {
  using V = std::vector<std::string>;
  EXPECT_EQ(SplitCommandLine("hivara.exe"), V({"hivara.exe"}));
  EXPECT_EQ(SplitCommandLine("\"C:\\Program Files\\h.exe\"  /Scan   \"C:\\my reports\\r.ini\""),
            V({"C:\\Program Files\\h.exe", "/Scan", "C:\\my reports\\r.ini"}));
  EXPECT_EQ(SplitCommandLine("h.exe \"/Scan C:\\r.ini\""), V({"h.exe", "/Scan C:\\r.ini"}));
  EXPECT_EQ(SplitCommandLine("h.exe a\"b c\"d"), V({"h.exe", "ab cd"}));
  EXPECT_EQ(SplitCommandLine("h.exe \"\""), V({"h.exe", ""}));
  EXPECT_EQ(SplitCommandLine("  \t "), V({}));
}

TEST(CommandLine, SwitchIsTheWholeFirstArgumentInAnyCase) {
  const struct { const char* line; Switch s; } cases[] = {
      {"h.exe", Switch::None},
      {"h.exe /Silent", Switch::Silent},
      {"h.exe /silent", Switch::Silent},
      {"h.exe /SCAN r.ini", Switch::Scan},
      {"h.exe /scan", Switch::Scan},
      {"h.exe \"/Scan r.ini\"", Switch::None},
      {"h.exe /Silently", Switch::None},
      {"h.exe x /Silent", Switch::None},
      {"h.exe -Silent", Switch::None},
  };
  for (const auto& c : cases) EXPECT_EQ(SwitchOf(SplitCommandLine(c.line)), c.s) << c.line;
}

}  // namespace
