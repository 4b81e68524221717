#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/app_paths.h"
#include "common/ini.h"
#include "common/memory_ini.h"
#include "i18n/language.h"
#include "settings/options.h"
#include "tests/host/fake_system.h"

namespace {

const std::string kDir = "C:\\Hivara\\";
const std::string kBeside = kDir + "DLan_French.ini";
const std::string kInFolder = kDir + "Languages\\DLan_French.ini";

class Language : public ::testing::Test {
 protected:
  void SetUp() override {
    ini::memory::Clear();
    app::SetExeDir(kDir);
    OptionsSetting = {true, true, false, "French"};
    // Every open is recorded, then served by the memory store.
    ini::SetOpener([this](const std::string& path) {
      opened.push_back(path);
      return ini::memory::Open(path);
    });
  }
  void TearDown() override {
    ini::SetOpener(nullptr);
    ini::memory::Clear();
    OptionsSetting = TOptionsSetting{};
  }
  // A language file that exists for both the file test and the reader.
  void AddLanguageFile(const std::string& path, const std::string& text) {
    fs.AddFile(path);
    ini::memory::SetFile(path, text);
  }

  fake::FakeSystem fs;
  std::vector<std::string> opened;
};

TEST_F(Language, FileBesideTheProgramWinsOverTheLanguagesFolder) {
  EXPECT_EQ(LanguageFilePath("French"), kInFolder);  // neither: the last candidate, untested
  fs.AddFile(kInFolder);
  EXPECT_EQ(LanguageFilePath("French"), kInFolder);
  fs.AddFile(kBeside);
  EXPECT_EQ(LanguageFilePath("French"), kBeside);
  EXPECT_EQ(LanguageFilePath("french"), kDir + "DLan_french.ini");  // found without regard to case
  EXPECT_EQ(LanguageFilePath(""), kDir + "Languages\\DLan_.ini");
  EXPECT_EQ(fs.Calls("FileExists(").size(), 5u);  // only the first candidate is ever tested
}

TEST_F(Language, NamesThatCouldLeaveTheProgramFoldersNameNoFile) {
  const std::string unsafe[] = {
      "..\\..\\Windows\\win",
      "../evil",
      "C:",
      "\\\\server\\share\\x",
      "French:stream",
      std::string("French\0.ini", 11),
      "Fr*",
      "Fr?nch",
      "French ",
      "Fran\xe7" "ais",
      std::string(65, 'A'),
  };
  for (const std::string& name : unsafe) {
    EXPECT_FALSE(IsSafeLanguageName(name)) << name;
    EXPECT_EQ(LanguageFilePath(name), "") << name;
  }
  EXPECT_TRUE(fs.Calls("FileExists(").empty());
  for (const char* name : {"French", "BrazilianPortuguese", "Other", "zh-TW", "pt_BR2", ""})
    EXPECT_TRUE(IsSafeLanguageName(name)) << name;
  EXPECT_TRUE(IsSafeLanguageName(std::string(64, 'A')));
}

TEST_F(Language, EnglishInAnyCaseIsEnglish) {
  for (const char* lan : {"English", "english", "ENGLISH", "eNgLiSh"}) EXPECT_TRUE(IsEnglish(lan)) << lan;
  for (const char* lan : {"", "Englis", "English ", "British", "Engl\xefsh"}) EXPECT_FALSE(IsEnglish(lan)) << lan;
}

TEST_F(Language, EnglishLookupTouchesNoFile) {
  AddLanguageFile(kDir + "DLan_English.ini", "[ResourceString]\r\nRES_Not_Found=from the file\r\n");
  for (const char* lan : {"English", "english", "ENGLISH"}) {
    OptionsSetting.Lan = lan;
    EXPECT_EQ(LoadLanString("RES_Not_Found", "can not be found."), "can not be found.");
  }
  EXPECT_TRUE(opened.empty());
  EXPECT_TRUE(fs.Log().empty());
}

TEST_F(Language, MessageComesFromTheLanguageFileOrTheBuiltInText) {
  EXPECT_EQ(LoadLanString("RES_Analyze_NoSuccess", "Failed to analyze the registry!"),
            "Failed to analyze the registry!");  // no French file anywhere

  AddLanguageFile(kInFolder,
                  "[resourcestring]\r\nRES_ANALYZE_NOSUCCESS=L'analyse a échoué !\r\nRES_Not_Found=\r\n");
  EXPECT_EQ(LoadLanString("RES_Analyze_NoSuccess", "Failed"), "L'analyse a échoué !");
  EXPECT_EQ(LoadLanString("RES_Not_Found", "can not be found."), "");  // empty is a value
  EXPECT_EQ(LoadLanString("RES_Missing", "built in"), "built in");

  AddLanguageFile(kBeside, "[ResourceString]\r\nRES_Analyze_NoSuccess=beside\r\n");
  EXPECT_EQ(LoadLanString("RES_Analyze_NoSuccess", "Failed"), "beside");
  EXPECT_EQ(LoadLanString("RES_Not_Found", "can not be found."), "can not be found.");
}

TEST_F(Language, EveryLookupOpensTheFileAfresh) {
  AddLanguageFile(kBeside, "[ResourceString]\r\nRES_Not_Found=one\r\n");
  EXPECT_EQ(LoadLanString("RES_Not_Found", "x"), "one");
  ini::memory::SetFile(kBeside, "[ResourceString]\r\nRES_Not_Found=two\r\n");
  EXPECT_EQ(LoadLanString("RES_Not_Found", "x"), "two");
  EXPECT_EQ(opened, (std::vector<std::string>{kBeside, kBeside}));
}

TEST_F(Language, UnsafeLanguageNameReadsNoFile) {
  // A file where the name would lead if it were used as a path.
  AddLanguageFile(kDir + "DLan_..\\..\\evil.ini", "[ResourceString]\r\nRES_Not_Found=evil\r\n");
  AddLanguageFile("C:\\evil.ini", "[ResourceString]\r\nRES_Not_Found=evil\r\n");
  for (const char* lan : {"..\\..\\evil", "..\\..\\evil.ini\\..", "C:\\evil"}) {
    OptionsSetting.Lan = lan;
    EXPECT_EQ(LoadLanString("RES_Not_Found", "can not be found."), "can not be found.") << lan;
  }
  EXPECT_EQ(opened, (std::vector<std::string>{"", "", ""}));
}

}  // namespace
