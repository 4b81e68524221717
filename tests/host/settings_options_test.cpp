#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "common/app_paths.h"
#include "common/ini.h"
#include "common/memory_ini.h"
#include "settings/options.h"

namespace {

const char kDir[] = "C:\\Program Files\\Tolvik Hivara\\";
const char kIni[] = "C:\\Program Files\\Tolvik Hivara\\options.ini";

class Options : public ::testing::Test {
 protected:
  void SetUp() override {
    ini::memory::Clear();
    app::SetExeDir(kDir);
    OptionsSetting = TOptionsSetting{};
  }
  void TearDown() override {
    ini::SetOpener(nullptr);
    ini::memory::Clear();
    OptionsSetting = TOptionsSetting{};
  }
  void Load(const std::string& text) {
    ini::memory::SetFile(kIni, text);
    LoadSaveOptions(true);
  }
};

TEST_F(Options, RecordIsZeroFilledUntilLoaded) {
  const TOptionsSetting fresh{};
  EXPECT_FALSE(fresh.IsAskBeforeDefrag);
  EXPECT_FALSE(fresh.IsShowLine);
  EXPECT_FALSE(fresh.RestorePoint);
  EXPECT_EQ(fresh.Lan, "");
}

TEST_F(Options, NoFileGivesTheDefaultsAndCreatesNothing) {
  OptionsSetting = {false, false, true, "French"};
  LoadSaveOptions(true);
  EXPECT_TRUE(OptionsSetting.IsAskBeforeDefrag);
  EXPECT_TRUE(OptionsSetting.IsShowLine);
  EXPECT_FALSE(OptionsSetting.RestorePoint);
  EXPECT_EQ(OptionsSetting.Lan, "English");
  EXPECT_FALSE(ini::memory::HasFile(kIni));
}

TEST_F(Options, FirstSaveWritesTheFourKeysInOrder) {
  LoadSaveOptions(true);
  LoadSaveOptions(false);
  EXPECT_EQ(ini::memory::FileText(kIni),
            "[Options]\r\nRestorePoint=0\r\nIsAskBeforeDefrag=1\r\nIsShowLine=1\r\nLan=English\r\n");
}

TEST_F(Options, RoundTripKeepsEveryFieldAndForeignEntries) {
  ini::memory::SetFile(kIni,
                       "[Window]\r\nLeft=10\r\n"
                       "[Options]\r\nLan=German\r\nColour=blue\r\n"
                       "[Zeta]\r\nLast=1\r\n");
  LoadSaveOptions(true);
  OptionsSetting = {false, false, true, "english"};
  LoadSaveOptions(false);
  OptionsSetting = TOptionsSetting{};
  LoadSaveOptions(true);
  EXPECT_FALSE(OptionsSetting.IsAskBeforeDefrag);
  EXPECT_FALSE(OptionsSetting.IsShowLine);
  EXPECT_TRUE(OptionsSetting.RestorePoint);
  EXPECT_EQ(OptionsSetting.Lan, "english");  // written back exactly as held
  EXPECT_EQ(ini::memory::FileText(kIni),
            "[Window]\r\nLeft=10\r\n"
            "[Options]\r\nLan=english\r\nColour=blue\r\n"
            "RestorePoint=1\r\nIsAskBeforeDefrag=0\r\nIsShowLine=0\r\n"
            "[Zeta]\r\nLast=1\r\n");
}

TEST_F(Options, BooleanValuesReadAsIntegersElseTheDefault) {
  // Each value goes into all three keys: RestorePoint defaults to false, the
  // other two to true, so a non-integer shows both defaults.
  struct {
    const char* value;
    bool restorePoint, others;
  } cases[] = {
      {"2", true, true},     {"-1", true, true},   {"0x10", true, true},
      {"$A", true, true},    {"1", true, true},    {"0", false, false},
      {"yes", false, true},  {"", false, true},    {"true", false, true},
      {"0x0", false, false}, {" 3", true, true},   {"99999999999", false, true},
  };
  for (const auto& c : cases) {
    const std::string v = c.value;
    Load("[Options]\r\nRestorePoint=" + v + "\r\nIsAskBeforeDefrag=" + v + "\r\nIsShowLine=" + v +
         "\r\n");
    EXPECT_EQ(OptionsSetting.RestorePoint, c.restorePoint) << "[" << v << "]";
    EXPECT_EQ(OptionsSetting.IsAskBeforeDefrag, c.others) << "[" << v << "]";
    EXPECT_EQ(OptionsSetting.IsShowLine, c.others) << "[" << v << "]";
  }
}

TEST_F(Options, LanIsReadAsStored) {
  Load("[OPTIONS]\r\nlan=  \"Ukranian\"  \r\n");
  EXPECT_EQ(OptionsSetting.Lan, "Ukranian");
  Load("[Options]\r\nLan=\r\n");
  EXPECT_EQ(OptionsSetting.Lan, "");  // present but empty is not missing
  Load("[Options]\r\nLan=" + std::string(100000, 'x') + "\r\n");
  EXPECT_EQ(OptionsSetting.Lan.size(), 2047u);
}

TEST_F(Options, JunkFileGivesDefaults) {
  std::string junk;
  for (int i = 0; i < 10000; ++i) junk += static_cast<char>((i * 131 + 7) & 0xff);
  Load(junk);
  EXPECT_TRUE(OptionsSetting.IsAskBeforeDefrag);
  EXPECT_TRUE(OptionsSetting.IsShowLine);
  EXPECT_FALSE(OptionsSetting.RestorePoint);
  EXPECT_EQ(OptionsSetting.Lan, "English");
}

TEST_F(Options, UnwritableFileThrowsTheUserMessage) {
  ini::memory::SetUnwritable(kIni, true);
  OptionsSetting = {true, true, false, "English"};
  try {
    LoadSaveOptions(false);
    FAIL() << "no WriteError";
  } catch (const ini::WriteError& e) {
    EXPECT_EQ(std::string(e.what()), std::string("Unable to write to ") + kIni);
  }
}

// Fails every write of one key, passing the others to the memory store.
class FailingKey : public ini::IniFile {
 public:
  FailingKey(std::unique_ptr<ini::IniFile> inner, std::string key)
      : inner_(std::move(inner)), key_(std::move(key)) {}
  const std::string& FileName() const override { return inner_->FileName(); }
  std::string ReadString(const std::string& s, const std::string& k, const std::string& d) override {
    return inner_->ReadString(s, k, d);
  }
  void WriteString(const std::string& s, const std::string& k, const std::string& v) override {
    if (k == key_) throw ini::WriteError(FileName());
    inner_->WriteString(s, k, v);
  }
  void EraseSection(const std::string& s) override { inner_->EraseSection(s); }

 private:
  std::unique_ptr<ini::IniFile> inner_;
  std::string key_;
};

TEST_F(Options, FailedWriteLeavesTheKeysWrittenBeforeIt) {
  ini::SetOpener([](const std::string& path) -> std::unique_ptr<ini::IniFile> {
    return std::make_unique<FailingKey>(ini::memory::Open(path), "IsShowLine");
  });
  OptionsSetting = {false, false, true, "French"};
  EXPECT_THROW(LoadSaveOptions(false), ini::WriteError);
  EXPECT_EQ(ini::memory::FileText(kIni), "[Options]\r\nRestorePoint=1\r\nIsAskBeforeDefrag=0\r\n");
}

}  // namespace
