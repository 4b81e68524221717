// The INI layer and the settings against the real profile-string functions.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "common/app_paths.h"
#include "common/ini.h"
#include "common/memory_ini.h"
#include "common/win/ini_win.h"
#include "settings/options.h"

namespace {

std::string ReadBytes(const std::string& path) {
  std::string text;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
    std::fclose(f);
  }
  return text;
}

void WriteBytes(const std::string& path, const std::string& text) {
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr) << path;
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
}

class ProfileIni : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    static int counter = 0;
    dir_ = std::string(tmp) + "hivara-ini-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(++counter) + "\\";
    ASSERT_TRUE(CreateDirectoryA(dir_.c_str(), nullptr)) << dir_;
    path_ = dir_ + "test.ini";
    savedExeDir_ = app::ExeDir();
    OptionsSetting = TOptionsSetting{};
  }
  void TearDown() override {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir_ + "*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
      do DeleteFileA((dir_ + fd.cFileName).c_str());
      while (FindNextFileA(h, &fd));
      FindClose(h);
    }
    RemoveDirectoryA(dir_.c_str());
    app::SetExeDir(savedExeDir_);
    OptionsSetting = TOptionsSetting{};
    ini::memory::Clear();
  }
  std::string Read(const std::string& section, const std::string& key, const std::string& def) {
    return ini::OpenIni(path_)->ReadString(section, key, def);
  }

  std::string dir_, path_, savedExeDir_;
};

TEST_F(ProfileIni, MissingFileGivesTheDefaultUnchanged) {
  const std::string longDefault(3000, 'd');
  EXPECT_EQ(Read("S", "K", "Checking: "), "Checking: ");
  EXPECT_EQ(Read("S", "K", "\"quoted\""), "\"quoted\"");
  EXPECT_EQ(Read("S", "K", longDefault), longDefault);
  EXPECT_EQ(Read("S", "K", ""), "");
  EXPECT_EQ(GetFileAttributesA(path_.c_str()), INVALID_FILE_ATTRIBUTES);  // reading made no file
}

// The same table runs against the in-memory store, which the host tests use
// in place of these functions.
TEST_F(ProfileIni, ReadsAsTheInMemoryStoreDoes) {
  const std::string text =
      "[frmMain]\r\n"
      "  bAnalyzeRegistry  =   Analyser   \r\n"
      "Quoted=\"  kept blanks  \"\r\n"
      "Single='x'\r\n"
      "Empty=\r\n"
      "Twice=first\r\n"
      "Twice=second\r\n"
      "Eq=a=b\r\n"
      "NoEquals\r\n"
      "Accent=D\xe9" "fragmenter\r\n"
      "[ Spaced ]\n"
      "Unix=lf only\n"
      "[FRMMAIN]\r\n"
      "Later=second section of the same name\r\n";
  WriteBytes(path_, text);
  ini::memory::SetFile(path_, text);
  struct {
    const char* section;
    const char* key;
    const char* expected;
  } cases[] = {
      {"frmMain", "bAnalyzeRegistry", "Analyser"},
      {"FRMMAIN", "BANALYZEREGISTRY", "Analyser"},
      {"frmmain", "banalyzeregistry", "Analyser"},
      {"frmMain", "Quoted", "  kept blanks  "},
      {"frmMain", "Single", "x"},
      {"frmMain", "Empty", ""},
      {"frmMain", "Twice", "first"},
      {"frmMain", "Eq", "a=b"},
      {"frmMain", "NoEquals", "<def>"},
      {"frmMain", "Accent", "D\xe9" "fragmenter"},
      {"frmMain", "Missing", "<def>"},
      {"frmMain", "Later", "<def>"},
      {"Spaced", "Unix", "lf only"},
      {"Missing", "Unix", "<def>"},
  };
  const auto real = ini::OpenProfileIni(path_);
  const auto memory = ini::memory::Open(path_);
  for (const auto& c : cases) {
    EXPECT_EQ(real->ReadString(c.section, c.key, "<def>"), c.expected) << c.section << "/" << c.key;
    EXPECT_EQ(memory->ReadString(c.section, c.key, "<def>"), c.expected) << c.section << "/" << c.key;
  }
}

TEST_F(ProfileIni, LongValueIsCutAt2047) {
  const std::string value(5000, 'v');
  WriteBytes(path_, "[S]\r\nLong=" + value + "\r\nQuoted=\"" + value + "\"\r\n");
  EXPECT_EQ(Read("S", "Long", ""), value.substr(0, 2047));
  EXPECT_EQ(Read("S", "Quoted", ""), value.substr(0, 2047));
  // A value that is exactly a would-be sentinel is still a value.
  WriteBytes(path_, "[S]\r\nA=\x01\r\nB=\x02\r\n");
  EXPECT_EQ(Read("S", "A", "def"), "\x01");
  EXPECT_EQ(Read("S", "B", "def"), "\x02");
}

TEST_F(ProfileIni, WritesKeepOtherSectionsAndLineOrder) {
  WriteBytes(path_,
             "; keep me\r\n[Other]\r\nA=1\r\n[options]\r\nLAN=German\r\nExtra=x\r\n[Last]\r\nZ=9\r\n");
  const auto f = ini::OpenIni(path_);
  f->WriteString("Options", "Lan", "French");
  f->WriteString("Options", "IsShowLine", "0");
  f->WriteString("New", "K", "v");
  EXPECT_EQ(ReadBytes(path_),
            "; keep me\r\n[Other]\r\nA=1\r\n[options]\r\nLAN=French\r\nExtra=x\r\nIsShowLine=0\r\n"
            "[Last]\r\nZ=9\r\n[New]\r\nK=v\r\n");
  f->EraseSection("OTHER");
  EXPECT_EQ(Read("Other", "A", "gone"), "gone");
  EXPECT_EQ(Read("Last", "Z", ""), "9");
}

TEST_F(ProfileIni, WriteIntoAMissingFolderThrowsWithThePath) {
  const std::string path = dir_ + "no such folder\\options.ini";
  const auto f = ini::OpenIni(path);
  try {
    f->WriteString("Options", "Lan", "English");
    FAIL() << "no WriteError";
  } catch (const ini::WriteError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + path);
  }
  EXPECT_THROW(f->EraseSection("Options"), ini::WriteError);
  EXPECT_THROW(f->WriteBool("Options", "IsShowLine", true), ini::WriteError);
}

TEST_F(ProfileIni, EmptyPathIsNoFile) {
  const auto f = ini::OpenIni("");
  EXPECT_EQ(f->ReadString("S", "K", "def "), "def ");
  EXPECT_THROW(f->WriteString("S", "K", "v"), ini::WriteError);
}

TEST_F(ProfileIni, OptionsRoundTripBesideTheProgram) {
  app::SetExeDir(dir_);
  const std::string ini = dir_ + "options.ini";
  LoadSaveOptions(true);
  EXPECT_TRUE(OptionsSetting.IsAskBeforeDefrag);
  EXPECT_TRUE(OptionsSetting.IsShowLine);
  EXPECT_FALSE(OptionsSetting.RestorePoint);
  EXPECT_EQ(OptionsSetting.Lan, "English");
  LoadSaveOptions(false);
  EXPECT_EQ(ReadBytes(ini),
            "[Options]\r\nRestorePoint=0\r\nIsAskBeforeDefrag=1\r\nIsShowLine=1\r\nLan=English\r\n");

  WriteBytes(ini, "[Window]\r\nLeft=10\r\n[Options]\r\nRestorePoint=2\r\nIsAskBeforeDefrag=yes\r\n"
                  "IsShowLine=\r\nLan=FRENCH\r\n");
  LoadSaveOptions(true);
  EXPECT_TRUE(OptionsSetting.RestorePoint);
  EXPECT_TRUE(OptionsSetting.IsAskBeforeDefrag);
  EXPECT_TRUE(OptionsSetting.IsShowLine);
  EXPECT_EQ(OptionsSetting.Lan, "FRENCH");
  OptionsSetting.IsShowLine = false;
  LoadSaveOptions(false);
  EXPECT_EQ(ReadBytes(ini), "[Window]\r\nLeft=10\r\n[Options]\r\nRestorePoint=1\r\nIsAskBeforeDefrag=1\r\n"
                            "IsShowLine=0\r\nLan=FRENCH\r\n");
}

TEST_F(ProfileIni, OptionsFromBinaryJunkAreTheDefaults) {
  app::SetExeDir(dir_);
  std::string junk;
  for (int i = 0; i < 70000; ++i) junk += static_cast<char>((i * 131 + 7) & 0xff);
  WriteBytes(dir_ + "options.ini", junk);
  LoadSaveOptions(true);
  EXPECT_TRUE(OptionsSetting.IsAskBeforeDefrag);
  EXPECT_TRUE(OptionsSetting.IsShowLine);
  EXPECT_FALSE(OptionsSetting.RestorePoint);
  EXPECT_EQ(OptionsSetting.Lan, "English");
}

TEST_F(ProfileIni, OptionsSaveIntoAMissingFolderThrows) {
  app::SetExeDir(dir_ + "gone\\");
  OptionsSetting = {true, true, false, "English"};
  try {
    LoadSaveOptions(false);
    FAIL() << "no WriteError";
  } catch (const ini::WriteError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + dir_ + "gone\\options.ini");
  }
}

}  // namespace
