#include <gtest/gtest.h>

#include <string>

#include "common/ini.h"
#include "common/memory_ini.h"

namespace {

const char kPath[] = "C:\\Tools\\test.ini";

class MemoryIni : public ::testing::Test {
 protected:
  void SetUp() override { ini::memory::Clear(); }
  void TearDown() override { ini::memory::Clear(); }
  std::string Read(const std::string& section, const std::string& key, const std::string& def = "<def>") {
    return ini::memory::Open(kPath)->ReadString(section, key, def);
  }
};

TEST_F(MemoryIni, ReadsLikeTheProfileFunctions) {
  ini::memory::SetFile(kPath,
                       "; a comment line\r\n"
                       "Orphan=outside any section\r\n"
                       "[frmMain]\r\n"
                       "  bAnalyzeRegistry  =   Analyser   \r\n"
                       "Quoted=\"  kept blanks  \"\r\n"
                       "Single='x'\r\n"
                       "HalfQuote=\"open\r\n"
                       "Lone=\"\r\n"
                       "Empty=\r\n"
                       "Twice=first\r\n"
                       "Twice=second\r\n"
                       "Eq=a=b\r\n"
                       ";Hidden=no\r\n"
                       "NoEquals\r\n"
                       "[ Spaced ]\n"
                       "Unix=lf only\n"
                       "[frmMain]\r\n"
                       "Later=second section of the same name\r\n");
  struct {
    const char* section;
    const char* key;
    const char* expected;
  } cases[] = {
      {"frmMain", "bAnalyzeRegistry", "Analyser"},
      {"FRMMAIN", "BANALYZEREGISTRY", "Analyser"},
      {"  frmmain ", " banalyzeregistry\t", "Analyser"},
      {"frmMain", "Quoted", "  kept blanks  "},
      {"frmMain", "Single", "x"},
      {"frmMain", "HalfQuote", "\"open"},
      {"frmMain", "Lone", "\""},
      {"frmMain", "Empty", ""},
      {"frmMain", "Twice", "first"},
      {"frmMain", "Eq", "a=b"},
      {"frmMain", "Hidden", "<def>"},
      {"frmMain", "NoEquals", "<def>"},
      {"frmMain", "Orphan", "<def>"},
      {"frmMain", "Later", "<def>"},  // only the first section of a name is searched
      {"Spaced", "Unix", "lf only"},
      {"Missing", "Unix", "<def>"},
      {"frmMain", "", "<def>"},
      {"", "Orphan", "<def>"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Read(c.section, c.key), c.expected) << c.section << "/" << c.key;
}

TEST_F(MemoryIni, MissingFileAndEmptyPathReadTheDefaultUnchanged) {
  EXPECT_EQ(Read("S", "K", "Checking: "), "Checking: ");
  EXPECT_EQ(ini::memory::Open("")->ReadString("S", "K", " d "), " d ");
}

TEST_F(MemoryIni, LongValueIsCutTo2047Characters) {
  const std::string value(5000, 'v');
  ini::memory::SetFile(kPath, "[S]\r\nLong=" + value + "\r\n");
  EXPECT_EQ(Read("S", "Long"), value.substr(0, 2047));
}

TEST_F(MemoryIni, BinaryJunkReadsWithoutTrouble) {
  std::string junk;
  for (int i = 0; i < 4096; ++i) junk += static_cast<char>((i * 37) & 0xff);
  ini::memory::SetFile(kPath, junk + "\r\n[S]\r\nK=v\r\n" + junk);
  EXPECT_EQ(Read("S", "K"), "v");
  ini::memory::Open(kPath)->WriteString("S", "K", "w");
  EXPECT_EQ(Read("S", "K"), "w");
}

TEST_F(MemoryIni, WritesChangeOnlyTheirOwnLine) {
  ini::memory::SetFile(kPath,
                       "; keep me\r\n"
                       "[Other]\r\n"
                       "A=1\r\n"
                       "\r\n"
                       "[options]\r\n"
                       "  LAN = German\r\n"
                       "Extra=x\r\n"
                       "\r\n"
                       "[Last]\r\n"
                       "Z=9\r\n");
  const auto f = ini::memory::Open(kPath);
  f->WriteString("Options", "Lan", "French");  // in place, spelling of the file kept
  f->WriteString("Options", "IsShowLine", "0");  // after the section's last entry
  f->WriteString("New", "K", "v");               // a new section at the end
  EXPECT_EQ(ini::memory::FileText(kPath),
            "; keep me\r\n"
            "[Other]\r\n"
            "A=1\r\n"
            "\r\n"
            "[options]\r\n"
            "LAN=French\r\n"
            "Extra=x\r\n"
            "IsShowLine=0\r\n"
            "\r\n"
            "[Last]\r\n"
            "Z=9\r\n"
            "[New]\r\n"
            "K=v\r\n");
}

TEST_F(MemoryIni, AWriteCannotAddLinesOfItsOwn) {
  const auto f = ini::memory::Open(kPath);
  f->WriteString("S", "Lan", "French\r\n[Options]\r\nRestorePoint=1");
  f->WriteString("S", std::string("K\0ey", 4), std::string("v\0al", 4));
  EXPECT_EQ(ini::memory::FileText(kPath), "[S]\r\nLan=French\r\nK=v\r\n");
}

TEST_F(MemoryIni, EraseSectionRemovesEverySectionOfThatName) {
  ini::memory::SetFile(kPath, "[A]\r\nx=1\r\n[b]\r\ny=2\r\n[C]\r\nz=3\r\n[B]\r\nw=4\r\n");
  ini::memory::Open(kPath)->EraseSection("B");
  EXPECT_EQ(ini::memory::FileText(kPath), "[A]\r\nx=1\r\n[C]\r\nz=3\r\n");
  ini::memory::Open("C:\\none.ini")->EraseSection("B");
  EXPECT_FALSE(ini::memory::HasFile("C:\\none.ini"));
}

TEST_F(MemoryIni, WriteToUnwritablePathThrowsAndChangesNothing) {
  ini::memory::SetFile(kPath, "[S]\r\nK=old\r\n");
  ini::memory::SetUnwritable("c:\\tools\\TEST.INI", true);
  const auto f = ini::memory::Open(kPath);
  try {
    f->WriteString("S", "K", "new");
    FAIL() << "no WriteError";
  } catch (const ini::WriteError& e) {
    EXPECT_STREQ(e.what(), "Unable to write to C:\\Tools\\test.ini");
  }
  EXPECT_THROW(f->EraseSection("S"), ini::WriteError);
  EXPECT_EQ(Read("S", "K"), "old");
  EXPECT_THROW(ini::memory::Open("")->WriteString("S", "K", "v"), ini::WriteError);
}

TEST_F(MemoryIni, OpenerCanBeReplacedAndRestored) {
  int opened = 0;
  ini::SetOpener([&](const std::string& path) {
    ++opened;
    return ini::memory::Open(path);
  });
  ini::OpenIni(kPath);
  ini::SetOpener(nullptr);
  ini::OpenIni(kPath);
  EXPECT_EQ(opened, 1);
}

}  // namespace
