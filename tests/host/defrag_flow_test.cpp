// What a defragmentation asks of Windows, in order, for each way through it.
#include <gtest/gtest.h>

#include "common/app_paths.h"
#include "common/memory_ini.h"
#include "defrag/defrag_flow.h"
#include "fake_system.h"
#include "settings/options.h"

namespace {

using Log = std::vector<std::string>;
const char kDir[] = "C:\\app\\";
const char kIni[] = "C:\\app\\options.ini";

class Defrag : public ::testing::Test {
 protected:
  void SetUp() override {
    ini::memory::Clear();
    app::SetExeDir(kDir);
    OptionsSetting = TOptionsSetting{true, true, false, "English"};
    names = {"\\REGISTRY\\MACHINE\\SOFTWARE", "\\Registry\\User\\S-1-5-21-1-2-3-1000_Classes"};
    files = {"C:\\Windows\\system32\\config\\SOFTWARE", "C:\\Users\\Ann\\UsrClass.dat"};
    dialogs.confirm = [this] {
      events.push_back("confirm");
      return confirmAnswer;
    };
    dialogs.restorePoint = [this] {
      events.push_back("restore point");
      return restoreAnswer;
    };
    dialogs.restartMessage = [this] { events.push_back("restart message"); };
  }
  void TearDown() override {
    ini::memory::Clear();
    OptionsSetting = TOptionsSetting{};
  }
  DefragOutcome Run(bool silent = false) { return RunDefragmentation(names, files, silent, dialogs); }
  // The calls that change something: privileges, deletions, requests.
  Log Requests() const {
    Log out;
    for (const std::string& c : sys.Log())
      if (c.rfind("RegReplaceKeyA", 0) == 0 || c.rfind("DeleteFileA", 0) == 0 || c.rfind("ExitWindowsEx", 0) == 0 ||
          c.rfind("AdjustTokenPrivileges", 0) == 0)
        out.push_back(c);
    return out;
  }

  fake::FakeSystem sys;
  std::vector<std::string> names, files, events;
  DefragDialogs dialogs;
  int confirmAnswer = 6;
  int restoreAnswer = 1;
};

const Log kFullRun = {
    "AdjustTokenPrivileges(<token>,SeRestorePrivilege,2)",
    "RegReplaceKeyA(HKLM,SOFTWARE,C:\\Windows\\system32\\config\\SOFTWARE.hvx,C:\\Windows\\system32\\config\\SOFTWARE.bak)",
    "RegReplaceKeyA(HKU,S-1-5-21-1-2-3-1000_Classes,C:\\Users\\Ann\\UsrClass.dat.hvx,C:\\Users\\Ann\\UsrClass.dat.bak)",
    "AdjustTokenPrivileges(<token>,SeShutdownPrivilege,2)",
    "ExitWindowsEx(6,1)",
};

TEST_F(Defrag, YesReplacesEveryHiveThenRestarts) {
  DefragOutcome out = Run();
  EXPECT_EQ(events, (Log{"confirm", "restart message"}));
  EXPECT_EQ(Requests(), kFullRun);
  EXPECT_TRUE(out.requested);
  EXPECT_TRUE(out.restartAccepted);
  // The settings were saved as soon as the confirmation returned.
  EXPECT_TRUE(ini::memory::HasFile(kIni));
}

TEST_F(Defrag, AnythingButYesChangesNothingButStillSavesTheSettings) {
  for (int answer : {7, 2, 0}) {
    ini::memory::Clear();
    sys.ClearLog();
    events.clear();
    confirmAnswer = answer;
    OptionsSetting.IsAskBeforeDefrag = true;
    dialogs.confirm = [this] {
      events.push_back("confirm");
      OptionsSetting.IsAskBeforeDefrag = false;  // "Don't ask me next time" ticked
      return confirmAnswer;
    };
    DefragOutcome out = Run();
    EXPECT_FALSE(out.requested) << answer;
    EXPECT_TRUE(Requests().empty()) << answer;
    EXPECT_EQ(events, (Log{"confirm"})) << answer;
    EXPECT_NE(ini::memory::FileText(kIni).find("IsAskBeforeDefrag=0"), std::string::npos) << answer;
  }
}

TEST_F(Defrag, ConfirmationSwitchedOffAsksNothing) {
  OptionsSetting.IsAskBeforeDefrag = false;
  Run();
  EXPECT_EQ(events, (Log{"restart message"}));
  EXPECT_EQ(Requests(), kFullRun);
  EXPECT_FALSE(ini::memory::HasFile(kIni));
}

TEST_F(Defrag, RestorePointOnlyOnSystemsWithSystemRestore) {
  OptionsSetting.RestorePoint = true;
  const struct { sys::VersionInfo v; bool offered; } cases[] = {
      {{2, 5, 0}, false},  // code 7
      {{2, 5, 1}, true},   // code 9
      {{2, 6, 0}, true},   // code 11
      {{2, 6, 1}, true},   // code 12
      {{2, 4, 0}, false},  // code 6
  };
  for (const auto& c : cases) {
    events.clear();
    sys.ClearLog();
    sys.version = c.v;
    Run();
    Log want = c.offered ? Log{"confirm", "restore point", "restart message"} : Log{"confirm", "restart message"};
    EXPECT_EQ(events, want) << c.v.major << "." << c.v.minor;
    EXPECT_EQ(Requests(), kFullRun);
  }
}

TEST_F(Defrag, CancelledRestorePointStopsBeforeAnyRequest) {
  OptionsSetting.RestorePoint = true;
  restoreAnswer = 2;
  DefragOutcome out = Run();
  EXPECT_EQ(events, (Log{"confirm", "restore point"}));
  EXPECT_TRUE(Requests().empty());
  EXPECT_FALSE(out.requested);
}

TEST_F(Defrag, SilentAsksAndSaysNothingWhateverTheSettings) {
  OptionsSetting.RestorePoint = true;
  DefragOutcome out = Run(/*silent=*/true);
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(Requests(), kFullRun);
  EXPECT_TRUE(out.restartAccepted);
  EXPECT_FALSE(ini::memory::HasFile(kIni));
}

TEST_F(Defrag, OldBackupDeletedJustBeforeItsRequestAndOddPathsSkipped) {
  OptionsSetting.IsAskBeforeDefrag = false;
  sys.AddFile("C:\\Users\\Ann\\UsrClass.dat.bak");
  names.push_back("\\REGISTRY\\A\\{d5a5e1ea-0000}");
  files.push_back("C:\\ProgramData\\odd.dat");
  sys.AddFile("C:\\ProgramData\\odd.dat.bak");
  Run();
  Log want = kFullRun;
  want.insert(want.begin() + 2, "DeleteFileA(C:\\Users\\Ann\\UsrClass.dat.bak)");
  EXPECT_EQ(Requests(), want);
  EXPECT_TRUE(sys.HasFile("C:\\ProgramData\\odd.dat.bak"));
}

TEST_F(Defrag, FailedRequestsAndRefusedRestartAreCarriedOn) {
  OptionsSetting.IsAskBeforeDefrag = false;
  sys.Fail("RegReplaceKeyA(HKLM", 5);
  sys.Fail("ExitWindowsEx");
  DefragOutcome out = Run();
  EXPECT_EQ(sys.Calls("RegReplaceKeyA").size(), 2u);
  EXPECT_EQ(events, (Log{"restart message"}));
  EXPECT_TRUE(out.requested);
  EXPECT_FALSE(out.restartAccepted);
}

}  // namespace
