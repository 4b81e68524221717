// Message lookup from real language files, found by the real file test.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "common/app_paths.h"
#include "i18n/language.h"
#include "settings/options.h"

namespace {

class LanguageLookup : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    static int counter = 0;
    dir_ = std::string(tmp) + "hivara-lan-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(++counter) + "\\";
    ASSERT_TRUE(CreateDirectoryA(dir_.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((dir_ + "Languages").c_str(), nullptr));
    savedExeDir_ = app::ExeDir();
    app::SetExeDir(dir_);
    OptionsSetting = {true, true, false, "French"};
  }
  void TearDown() override {
    for (const char* f : {"DLan_French.ini", "DLan_English.ini", "Languages\\DLan_French.ini"})
      DeleteFileA((dir_ + f).c_str());
    RemoveDirectoryA((dir_ + "Languages").c_str());
    RemoveDirectoryA(dir_.c_str());
    app::SetExeDir(savedExeDir_);
    OptionsSetting = TOptionsSetting{};
  }
  void Put(const std::string& name, const std::string& text) {
    FILE* f = std::fopen((dir_ + name).c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
  }

  std::string dir_, savedExeDir_;
};

TEST_F(LanguageLookup, BesideTheProgramWinsAndAnsiBytesPassThrough) {
  EXPECT_EQ(LanguageFilePath("French"), dir_ + "Languages\\DLan_French.ini");
  EXPECT_EQ(LoadLanString("RES_Analyze_NoSuccess", "Failed to analyze the registry!"),
            "Failed to analyze the registry!");

  Put("Languages\\DLan_French.ini",
      "[ResourceString]\r\nRES_Analyze_NoSuccess=L'analyse du registre a \xe9" "chou\xe9 !\r\n"
      "RES_Not_Found=\r\n");
  EXPECT_EQ(LoadLanString("RES_Analyze_NoSuccess", "x"), "L'analyse du registre a \xe9" "chou\xe9 !");
  EXPECT_EQ(LoadLanString("RES_Not_Found", "can not be found."), "");

  Put("DLan_French.ini", "[RESOURCESTRING]\r\nres_analyze_nosuccess=beside\r\n");
  EXPECT_EQ(LanguageFilePath("French"), dir_ + "DLan_French.ini");
  EXPECT_EQ(LoadLanString("RES_Analyze_NoSuccess", "x"), "beside");
  EXPECT_EQ(LoadLanString("RES_Not_Found", "can not be found."), "can not be found.");
}

TEST_F(LanguageLookup, EnglishIgnoresItsFile) {
  Put("DLan_English.ini", "[ResourceString]\r\nRES_Not_Found=from the file\r\n");
  OptionsSetting.Lan = "eNGLISH";
  EXPECT_EQ(LoadLanString("RES_Not_Found", "can not be found."), "can not be found.");
}

TEST_F(LanguageLookup, NameWithAPathReadsNothing) {
  Put("DLan_French.ini", "[ResourceString]\r\nRES_Not_Found=reached\r\n");
  for (const char* lan : {"..\\hivara-lan-x\\French", "French\\..\\French", "French.ini:x", "*"}) {
    OptionsSetting.Lan = lan;
    EXPECT_EQ(LoadLanString("RES_Not_Found", "can not be found."), "can not be found.") << lan;
  }
}

}  // namespace
