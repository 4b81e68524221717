// The translation walk over a form holding one component of every kind.
#include <gtest/gtest.h>

#include "common/app_paths.h"
#include "common/memory_ini.h"
#include "fake_system.h"
#include "i18n/translate.h"
#include "ui/components.h"

using namespace ui;

namespace {

const char kDir[] = "C:\\app\\";
const char kFile[] = "C:\\app\\DLan_Test.ini";

struct KindForm : TForm {
  KindForm() : TForm(nullptr, "frmKinds") {
    SetCaption("Kinds");
    auto add = [](TControl* c, const std::string& caption) {
      c->SetCaption(caption);
      c->SetHint(c->Name() + " hint");
      return c;
    };
    label = add(new TLabel(this, "lPlain"), "plain label");
    hintedLabel = add(new TLabel(this, "lHinted"), "hinted label");
    hintedLabel->SetShowHint(true);
    quietLabel = add(new TLabel(this, "lQuiet"), "quiet label");  // tooltips off
    button = add(new TButton(this, "bButton"), "button");
    group = add(new TGroupBox(this, "GroupBox1"), "group");
    panel = add(new TPanel(this, "Panel2"), "panel");
    url = add(new TsuiURLLabel(this, "suiURLLabel1"), "www");
    flat = add(new TFlatSpeedButton(this, "bFlat"), "flat");
    flat->SetShowHint(true);
    check = add(new TsuiCheckBox(this, "cbCheck"), "check");
    skinned = add(new TsuiButton(this, "bSkinned"), "skinned");
    suiGroup = add(new TsuiGroupBox(this, "suiGroupBox1"), "sui group");
    list = new TListView(this, "lvMain");
    list->AddColumn("A", 10, TAlignment::Left);
    list->AddColumn("B", 10, TAlignment::Left);
    list->AddColumn("C", 10, TAlignment::Left);
    image = add(new TImage(this, "Image1"), "");
    imageButton = add(new TsuiImageButton(this, "bMinimize"), "");
    imageButton->SetShowHint(true);
    shift = add(new TWlmShiftImage(this, "bClose"), "");
    shift->SetShowHint(true);
    progress = add(new TsuiProgressBar(this, "ProgressBar1"), "53%");
    rule = add(new TsuiImagePanel(this, "suiImagePanel1"), "rule");
    memo = add(new TMemo(this, "Memo1"), "Registry Key");
    menu = new TPopupMenu(this, "pmHelp");
    item = new TMenuItem(menu, "pmiHelp", "&Help");
    separator = new TMenuItem(menu, "N5", "-");
    timer = new TTimer(this, "Timer1");
  }
  TControl *label, *hintedLabel, *quietLabel, *button, *group, *panel, *url, *flat, *check, *skinned, *suiGroup,
      *image, *imageButton, *shift, *progress, *rule, *memo;
  TListView* list;
  TPopupMenu* menu;
  TMenuItem *item, *separator;
  TTimer* timer;
};

// Counts every read so a test can see which keys were asked for.
class CountingIni : public ini::IniFile {
 public:
  CountingIni(std::unique_ptr<ini::IniFile> inner, std::vector<std::string>* keys)
      : inner_(std::move(inner)), keys_(keys) {}
  const std::string& FileName() const override { return inner_->FileName(); }
  std::string ReadString(const std::string& s, const std::string& k, const std::string& d) override {
    keys_->push_back(s + "/" + k);
    return inner_->ReadString(s, k, d);
  }
  void WriteString(const std::string& s, const std::string& k, const std::string& v) override {
    inner_->WriteString(s, k, v);
  }
  void EraseSection(const std::string& s) override { inner_->EraseSection(s); }

 private:
  std::unique_ptr<ini::IniFile> inner_;
  std::vector<std::string>* keys_;
};

class Translate : public ::testing::Test {
 protected:
  void SetUp() override {
    ini::memory::Clear();
    app::SetExeDir(kDir);
    ini::SetOpener([this](const std::string& p) {
      return std::make_unique<CountingIni>(ini::memory::Open(p), &keys);
    });
  }
  void TearDown() override {
    ini::SetOpener(nullptr);
    ini::memory::Clear();
  }
  void File(const std::string& text) {
    ini::memory::SetFile(kFile, text);
    sys.AddFile(kFile);
  }
  bool Asked(const std::string& key) const { return std::find(keys.begin(), keys.end(), key) != keys.end(); }

  fake::FakeSystem sys;
  std::vector<std::string> keys;
  KindForm f;
};

TEST_F(Translate, EveryCaptionKindTakesItsTextFromTheWindowSection) {
  File(
      "[frmKinds]\r\nfrmKinds=Sortes\r\nlPlain=simple\r\nbButton=bouton\r\nGroupBox1=groupe\r\nPanel2=panneau\r\n"
      "suiURLLabel1=lien\r\nbFlat=plat\r\ncbCheck=case\r\nbSkinned=habille\r\nsuiGroupBox1=groupe habille\r\n"
      "Image1=image\r\nProgressBar1=barre\r\nsuiImagePanel1=regle\r\nMemo1=memo\r\n"
      "[Menu_frmKinds]\r\npmiHelp=&Aide\r\n");
  TranslateForm(f, "Test");
  EXPECT_EQ(f.Caption(), "Sortes");
  EXPECT_EQ(f.label->Caption(), "simple");
  EXPECT_EQ(f.button->Caption(), "bouton");
  EXPECT_EQ(f.group->Caption(), "groupe");
  EXPECT_EQ(f.panel->Caption(), "panneau");
  EXPECT_EQ(f.url->Caption(), "lien");
  EXPECT_EQ(f.flat->Caption(), "plat");
  EXPECT_EQ(f.check->Caption(), "case");
  EXPECT_EQ(f.skinned->Caption(), "habille");
  EXPECT_EQ(f.suiGroup->Caption(), "groupe habille");
  EXPECT_EQ(f.item->Caption(), "&Aide");
  // Pictures, progress bars, rules and memos are not translated by name.
  EXPECT_EQ(f.image->Caption(), "");
  EXPECT_EQ(f.progress->Caption(), "53%");
  EXPECT_EQ(f.rule->Caption(), "rule");
  EXPECT_EQ(f.memo->Caption(), "Registry Key");
  EXPECT_FALSE(Asked("frmKinds/Image1"));
  EXPECT_FALSE(Asked("frmKinds/ProgressBar1"));
  EXPECT_FALSE(Asked("frmKinds/Memo1"));
}

TEST_F(Translate, TooltipsOnlyWhereSwitchedOn) {
  File(
      "[frmKinds]\r\nlHintedHint=aide 1\r\nlQuietHint=aide 2\r\nbFlatHint=aide 3\r\nbMinimizeHint=aide 4\r\n"
      "bCloseHint=aide 5\r\nlPlain=x\r\n");
  TranslateForm(f, "Test");
  EXPECT_EQ(f.hintedLabel->Hint(), "aide 1");
  EXPECT_EQ(f.quietLabel->Hint(), "lQuiet hint");
  EXPECT_EQ(f.flat->Hint(), "aide 3");
  EXPECT_EQ(f.imageButton->Hint(), "aide 4");
  EXPECT_EQ(f.shift->Hint(), "aide 5");
  EXPECT_FALSE(Asked("frmKinds/lQuietHint"));
  EXPECT_FALSE(Asked("frmKinds/lPlainHint"));
}

TEST_F(Translate, SeparatorIsNeverLookedUp) {
  File("[Menu_frmKinds]\r\nN5=oops\r\n[frmKinds]\r\nN5Hint=oops\r\n");
  TranslateForm(f, "Test");
  EXPECT_EQ(f.separator->Caption(), "-");
  for (const std::string& k : keys) EXPECT_EQ(k.find("N5"), std::string::npos) << k;
}

TEST_F(Translate, ColumnsByIndexAndOnlyThoseGiven) {
  File("[frmKinds]\r\nlvMain_Column2=Nouvelle\r\n");
  TranslateForm(f, "Test");
  EXPECT_EQ(f.list->Columns()[0].caption, "A");
  EXPECT_EQ(f.list->Columns()[1].caption, "B");
  EXPECT_EQ(f.list->Columns()[2].caption, "Nouvelle");
  EXPECT_TRUE(Asked("frmKinds/lvMain_Column0"));
  EXPECT_FALSE(Asked("frmKinds/lvMain_Column3"));
}

TEST_F(Translate, EmptyValueEmptiesAndMissingKeyKeeps) {
  File("[FRMKINDS]\r\nBBUTTON=\r\n");
  TranslateForm(f, "Test");
  EXPECT_EQ(f.button->Caption(), "");
  EXPECT_EQ(f.label->Caption(), "plain label");
  EXPECT_EQ(f.Caption(), "Kinds");
}

TEST_F(Translate, MissingFileChangesNothing) {
  TranslateForm(f, "Nowhere");
  EXPECT_EQ(f.Caption(), "Kinds");
  EXPECT_EQ(f.label->Caption(), "plain label");
  EXPECT_EQ(f.item->Caption(), "&Help");
}

TEST_F(Translate, SecondLanguageKeepsTheFirstWhereItHasNoKey) {
  File("[frmKinds]\r\nlPlain=simple\r\nbButton=bouton\r\n");
  TranslateForm(f, "Test");
  ini::memory::SetFile("C:\\app\\DLan_Other.ini", "[frmKinds]\r\nlPlain=einfach\r\n");
  sys.AddFile("C:\\app\\DLan_Other.ini");
  TranslateForm(f, "Other");
  EXPECT_EQ(f.label->Caption(), "einfach");
  EXPECT_EQ(f.button->Caption(), "bouton");
}

TEST(ComponentKinds, ClassRelationsDecideTheTranslationRow) {
  TForm form(nullptr, "frm");
  TComponent* url = new TsuiURLLabel(&form, "u");
  TComponent* suiGroup = new TsuiGroupBox(&form, "g");
  TComponent* imageButton = new TsuiImageButton(&form, "i");
  TComponent* bar = new TsuiProgressBar(&form, "p");
  TComponent* rule = new TsuiImagePanel(&form, "r");
  TComponent* shift = new TWlmShiftImage(&form, "s");
  EXPECT_FALSE(As<TLabel>(url));
  EXPECT_TRUE(As<TCustomLabel>(url));
  EXPECT_FALSE(As<TPanel>(suiGroup));
  EXPECT_FALSE(As<TGroupBox>(suiGroup));
  EXPECT_TRUE(As<TCustomPanel>(suiGroup));
  EXPECT_FALSE(As<TsuiButton>(imageButton));
  EXPECT_FALSE(As<TPanel>(bar));
  EXPECT_FALSE(As<TPanel>(rule));
  EXPECT_TRUE(As<TImage>(shift));
  EXPECT_EQ(form.Components().size(), 6u);
}

TEST(ProgressCaption, PercentOfTheRangeTruncated) {
  TForm form(nullptr, "frm");
  auto* bar = new TsuiProgressBar(&form, "p");
  bar->Max = 1000;
  const struct { int pos; const char* text; } cases[] = {{0, "0%"}, {537, "53%"}, {999, "99%"}, {1000, "100%"},
                                                          {1500, "100%"}};
  for (const auto& c : cases) {
    bar->SetPosition(c.pos);
    EXPECT_EQ(bar->PercentCaption(), c.text) << c.pos;
  }
}

}  // namespace
