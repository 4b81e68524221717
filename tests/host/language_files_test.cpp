// The shipped language files, read from the source tree.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/memory_ini.h"

namespace {

namespace fs = std::filesystem;

fs::path LanguagesDir() {
  return fs::path(__FILE__).parent_path().parent_path().parent_path() / "Languages";
}

std::string ReadBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<fs::path> LanguageFiles() {
  std::vector<fs::path> files;
  for (const auto& e : fs::directory_iterator(LanguagesDir()))
    if (e.path().extension() == ".ini") files.push_back(e.path());
  std::sort(files.begin(), files.end());
  return files;
}

using Inventory = std::map<std::string, std::vector<std::string>>;

// Sections and keys in file order; repeats are kept so that they show.
Inventory InventoryOf(const ini::memory::Document& doc) {
  Inventory inv;
  for (const std::string& s : doc.SectionNames()) inv[s] = doc.KeyNames(s);
  return inv;
}

const Inventory kExpected = {
    {"frmMain",
     {"frmMain", "lTitle1", "bAnalyzeRegistry", "bDefragRegistry", "bOptions", "Label1", "Label3",
      "Label2", "lTitle3", "bLanguage", "bAbout", "bHomepage", "lLastWashed", "Label4", "Label5",
      "lCurrentRegistrySize", "lNewRegistrySize", "lSizeReduction", "lCompactPercent1",
      "lCompactPercent", "suiURLLabel1", "Label6", "bExit", "lTitle", "lvMain_Column0",
      "lvMain_Column1", "lvMain_Column2", "lvMain_Column3", "bAnalyzeRegistryHint",
      "bDefragRegistryHint", "bOptionsHint", "bLanguageHint", "bAboutHint", "bHomepageHint",
      "bCloseHint", "bExitHint", "bMinimizeHint"}},
    {"Menu_frmMain",
     {"pmiHelp", "Homepage1", "pmiCheckUpdate", "About1", "miBrazilianPortuguese", "miChinese",
      "miCzech", "miDanish", "miDutch", "miEnglish", "miFinnish", "miFrench", "miGerman", "miGreek",
      "miItalian", "miJapanese", "miKurdish", "miPolish", "miPortuguese", "miRussian",
      "miSlovenian", "miSpanish", "miSwedish", "miTurkish", "miUkranian", "miOther"}},
    {"frmGetNewHiveProgess", {"frmGetNewHiveProgess", "bStop", "GroupBox1", "Label1", "Label2"}},
    {"frmOptions",
     {"frmOptions", "GroupBox2", "cbAskBeforeDefrag", "cbShowLines", "cbCreateRestore", "bOK",
      "bCancel"}},
    {"frmSystemPoint", {"frmSystemPoint", "suiGroupBox1", "lScanTask", "Label1", "Label2", "Label3"}},
    {"frmAskDelete",
     {"frmAskDelete", "Label2", "Label3", "cbAsk", "GroupBox1", "Label1", "bOK", "bCancel", "Panel2"}},
    {"frmAbout", {"frmAbout", "Label1", "lCopywrite", "Label3", "lbEAddress", "Label2", "Panel2", "bOK"}},
    {"ResourceString", {"RES_Not_Found", "RES_Analyze_NoSuccess"}},
};

TEST(LanguageFiles, EnglishHoldsTheWholeInventoryOnce) {
  const std::string text = ReadBytes(LanguagesDir() / "DLan_English.ini");
  ASSERT_FALSE(text.empty());
  const ini::memory::Document doc(text);
  EXPECT_EQ(InventoryOf(doc), kExpected);
  EXPECT_EQ(doc.SectionNames().size(), kExpected.size());  // no section twice
}

TEST(LanguageFiles, EveryFileHasExactlyTheKeysOfTheEnglishOne) {
  const Inventory english = InventoryOf(ini::memory::Document(ReadBytes(LanguagesDir() / "DLan_English.ini")));
  const std::vector<fs::path> files = LanguageFiles();
  EXPECT_GE(files.size(), 4u);
  for (const fs::path& p : files) {
    const ini::memory::Document doc(ReadBytes(p));
    EXPECT_EQ(doc.SectionNames().size(), english.size()) << p;
    for (const auto& [section, keys] : english) {
      std::vector<std::string> got = doc.KeyNames(section), want = keys;
      std::sort(got.begin(), got.end());
      std::sort(want.begin(), want.end());
      EXPECT_EQ(got, want) << p.filename() << " [" << section << "]";
    }
  }
}

// The program reads the files as ANSI text: Windows-1252 single bytes, CR LF.
TEST(LanguageFiles, AreWindows1252WithCrLfLineEnds) {
  for (const fs::path& p : LanguageFiles()) {
    const std::string t = ReadBytes(p);
    for (std::size_t i = 0; i < t.size(); ++i) {
      const auto c = static_cast<unsigned char>(t[i]);
      SCOPED_TRACE(p.filename().string() + " at byte " + std::to_string(i));
      if (c == '\n') {
        EXPECT_TRUE(i > 0 && t[i - 1] == '\r');
      }
      if (c == '\r') {
        EXPECT_TRUE(i + 1 < t.size() && t[i + 1] == '\n');
      }
      EXPECT_FALSE(c < 0x20 && c != '\r' && c != '\n');
      EXPECT_FALSE(c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D);  // unassigned
      // A UTF-8 lead byte followed by a continuation byte: text saved as UTF-8.
      if (c >= 0xC2 && c <= 0xF4 && i + 1 < t.size()) {
        const auto next = static_cast<unsigned char>(t[i + 1]);
        EXPECT_FALSE(next >= 0x80 && next <= 0xBF);
      }
    }
    EXPECT_FALSE(t.size() >= 3 && t.compare(0, 3, "\xEF\xBB\xBF") == 0);
  }
}

TEST(LanguageFiles, TextsSurviveTheReader) {
  const std::string english = ReadBytes(LanguagesDir() / "DLan_English.ini");
  const ini::memory::Document en(english);
  EXPECT_EQ(en.Read("frmGetNewHiveProgess", "Label2", "?"), "Checking: ");
  EXPECT_EQ(en.Read("frmOptions", "cbAskBeforeDefrag", "?"), "Ask before defraging the registy");
  EXPECT_EQ(en.Read("Menu_frmMain", "miUkranian", "?"), "&Ukranian");
  for (const fs::path& p : LanguageFiles()) {
    const ini::memory::Document doc(ReadBytes(p));
    SCOPED_TRACE(p.filename().string());
    // The blank after the label's text is needed: the program appends the hive.
    const std::string checking = doc.Read("frmGetNewHiveProgess", "Label2", "");
    EXPECT_TRUE(checking.size() > 1 && checking.back() == ' ') << "[" << checking << "]";
    // One access key wherever English has one, and none doubled.
    for (const std::string& key : en.KeyNames("Menu_frmMain")) {
      const std::string v = doc.Read("Menu_frmMain", key, "");
      const std::size_t amp = std::count(v.begin(), v.end(), '&');
      const bool englishHasOne = en.Read("Menu_frmMain", key, "").find('&') != std::string::npos;
      EXPECT_EQ(amp, englishHasOne ? 1u : 0u) << key << "=" << v;
      if (amp == 1) {
        EXPECT_TRUE(v.find('&') + 1 < v.size() && v[v.find('&') + 1] != ' ') << key;
      }
    }
    for (const auto& [section, keys] : kExpected)
      for (const std::string& key : keys)
        EXPECT_NE(doc.Read(section, key, "<missing>"), "<missing>") << section << "/" << key;
  }
}

}  // namespace
