// One analysis end to end against recorded services and a stand-in window.
#include <gtest/gtest.h>

#include "analysis/analysis_flow.h"
#include "common/app_paths.h"
#include "common/memory_ini.h"
#include "fake_system.h"
#include "settings/options.h"

namespace {

using Strings = std::vector<std::string>;

class Analysis : public ::testing::Test {
 protected:
  void SetUp() override {
    ini::memory::Clear();
    app::SetExeDir("C:\\app\\");
    OptionsSetting = TOptionsSetting{true, true, false, "English"};
    names = {"\\REGISTRY\\MACHINE\\SOFTWARE", "\\REGISTRY\\MACHINE\\SYSTEM"};
    files = {"C:\\W\\config\\SOFTWARE", "C:\\W\\config\\SYSTEM"};
    sys.AddFile(files[0], 40'000'000);
    sys.AddFile(files[1], 10'000);
    view.runProgress = [this] {
      ++progressShown;
      // The dialog's worker writes the snapshots.
      for (std::size_t i = 0; i < files.size(); ++i)
        if (snapshots[i] >= 0) sys.AddFile(files[i] + ".hvx", snapshots[i]);
      return memo;
    };
    view.message = [this](const std::string& t) { messages.push_back(t); };
    view.setRow = [this](std::size_t i, const std::string& a, const std::string& b, const std::string& c) {
      rows.push_back(std::to_string(i) + ": " + a + " | " + b + " | " + c);
    };
    view.setTotals = [this](const analysis::Totals& t) {
      totals = {t.currentSize, t.newSize, t.sizeReduction, t.compactPercent};
    };
    view.setDefragEnabled = [this](bool on) { defrag.push_back(on); };
  }
  void TearDown() override {
    ini::memory::Clear();
    OptionsSetting = TOptionsSetting{};
  }
  void Run(bool silent = false) { analysis::RunAnalysis(names, files, silent, ".", view); }

  fake::FakeSystem sys;
  Strings names, files;
  std::vector<std::int64_t> snapshots = {39'000'000, 7'500};
  std::string memo = "Finish";
  analysis::AnalysisView view;
  int progressShown = 0;
  Strings messages, rows, totals;
  std::vector<bool> defrag;
};

TEST_F(Analysis, SuccessFillsRowsAndTotalsAndEnablesDefrag) {
  Run();
  EXPECT_EQ(progressShown, 1);
  EXPECT_EQ(rows, (Strings{"0: 39,063 KB | 38,086 KB | 2%", "1: 10 KB | 8 KB | 25%"}));
  EXPECT_EQ(totals, (Strings{"39,073 KB", "38,094 KB", "980 KB", "2.5%"}));
  EXPECT_EQ(defrag, (std::vector<bool>{true}));
  ASSERT_EQ(messages.size(), 1u);  // the low-gain advice
  EXPECT_EQ(messages[0].rfind("The fragment rate of your registry is only 2.5%. We suggest", 0), 0u) << messages[0];
}

TEST_F(Analysis, SilentModeGivesNoAdvice) {
  Run(/*silent=*/true);
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(defrag, (std::vector<bool>{true}));
}

TEST_F(Analysis, NoHivesDoesNothingAtAll) {
  names.clear();
  files.clear();
  sys.ClearLog();
  Run();
  EXPECT_EQ(progressShown, 0);
  EXPECT_TRUE(sys.Log().empty());
  EXPECT_TRUE(defrag.empty());
}

TEST_F(Analysis, SnapshotHeldOpenStopsBeforeTheDialog) {
  fake::File held;
  held.size = 100;
  held.locked = true;
  sys.AddFile(files[1] + ".hvx", held);
  Run();
  EXPECT_EQ(progressShown, 0);
  EXPECT_EQ(messages, (Strings{"Can not analyze the registry now! Please try again later."}));
  EXPECT_TRUE(defrag.empty());  // left as it was
  EXPECT_TRUE(rows.empty());
}

TEST_F(Analysis, StoppedOrAbandonedRunDisablesDefragAndKeepsTheFigures) {
  for (const char* m : {"\\REGISTRY\\MACHINE\\SYSTEM", "Registry Key", "finish"}) {
    defrag.clear();
    memo = m;
    Run();
    EXPECT_EQ(defrag, (std::vector<bool>{false})) << m;
    EXPECT_TRUE(rows.empty()) << m;
    EXPECT_TRUE(messages.empty()) << m;
  }
}

TEST_F(Analysis, ImplausibleSoftwareSnapshotIsReportedInTheUsersLanguage) {
  snapshots[0] = 9'900'000;  // below a quarter of 40,000,000
  Run();
  EXPECT_EQ(messages, (Strings{"Failed to analyze the registry!"}));
  EXPECT_EQ(defrag, (std::vector<bool>{false}));
  EXPECT_TRUE(rows.empty());

  messages.clear();
  OptionsSetting.Lan = "French";
  ini::memory::SetFile("C:\\app\\DLan_French.ini", "[ResourceString]\r\nRES_Analyze_NoSuccess=Echec de l'analyse\r\n");
  sys.AddFile("C:\\app\\DLan_French.ini");
  Run();
  EXPECT_EQ(messages, (Strings{"Echec de l'analyse"}));
}

TEST_F(Analysis, SanityCheckGoesByTheFilePathInAnyCase) {
  // A user hive whose profile path holds "software" is checked like SOFTWARE.
  files[1] = "C:\\Users\\SoftWare Dept\\NTUSER.DAT";
  sys.AddFile(files[1], 10'000);
  snapshots[1] = 2'000;
  Run();
  EXPECT_EQ(messages, (Strings{"Failed to analyze the registry!"}));
}

TEST_F(Analysis, OtherHivesAreNotCheckedAMissingSnapshotShowsAsFullGain) {
  snapshots[1] = -1;  // the SYSTEM save failed
  Run(/*silent=*/true);
  EXPECT_TRUE(messages.empty());
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1], "1: 10 KB | 0 KB | 100%");
  EXPECT_EQ(defrag, (std::vector<bool>{true}));
}

TEST_F(Analysis, LargerSnapshotsGiveNoReductionAndNoAdvice) {
  snapshots = {41'000'000, 11'000};
  Run();
  EXPECT_EQ(totals[2], "0 KB");
  EXPECT_EQ(totals[3], "0%");
  EXPECT_TRUE(messages.empty());
}

}  // namespace
