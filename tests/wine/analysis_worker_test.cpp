// The snapshot worker on real threads with real saves: what reaches the
// dialog, in which order, and that nothing does once the dialog let go.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "analysis/win/frmGetNewHiveProgess.h"
#include "app/messages.h"
#include "common/win/worker.h"
#include "hive/snapshot.h"
#include "hive_wine_util.h"

namespace {

constexpr unsigned WM_MEMOTEXT = WM_APP + 1;  // the dialog's memo update
const char kRoot[] = "Software\\HivaraWorkerTest";

struct Seen {
  std::vector<LPARAM> saved;   // counts of WM_HIVESAVED, in order
  std::vector<std::string> texts;  // memo texts, in order
  int closes = 0;
  bool closeWasLast = false;
  std::vector<WPARAM> firstTimes;
};

class ScanWorker : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window_);
    // Five small keys under the user's hive stand in for five hives.
    char sid[256] = {};
    DWORD len = sizeof sid;
    for (DWORD i = 0; RegEnumKeyExA(HKEY_USERS, i, sid, &len, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, len = sizeof sid)
      if (std::string(sid).rfind("S-1-5-21-", 0) == 0 && !std::strstr(sid, "_Classes")) break;
    for (int k = 0; k < 5; ++k) {
      std::string sub = std::string(kRoot) + "\\H" + std::to_string(k);
      HKEY key;
      ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, sub.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                ERROR_SUCCESS);
      for (int v = 0; v < 50 * (k + 1); ++v) {
        std::string name = "v" + std::to_string(v), data(200, 'x');
        RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()), 201);
      }
      RegCloseKey(key);
      names_.push_back("\\REGISTRY\\USER\\" + std::string(sid) + "\\" + sub);
      files_.push_back(hivetest::TestFile("h" + std::to_string(k)));
    }
  }
  void TearDown() override {
    WaitForLastWorker(30000);
    for (const std::string& f : files_) DeleteFileA((f + ".hvx").c_str());
    for (int k = 0; k < 5; ++k) RegDeleteKeyA(HKEY_CURRENT_USER, (std::string(kRoot) + "\\H" + std::to_string(k)).c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, kRoot);
    DestroyWindow(window_);
  }
  std::shared_ptr<WorkerLink> Start() {
    auto link = std::make_shared<WorkerLink>(window_);
    TScanTaskThread::Start(std::make_unique<TScanTaskThread>(link, names_, files_, false));
    return link;
  }
  // Reads messages until the worker's WM_CLOSE or the time limit.
  Seen Collect(const std::shared_ptr<WorkerLink>& link, DWORD limitMs, bool stopAfterFirst = false) {
    Seen s;
    DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < limitMs && s.closes == 0) {
      if (!PeekMessageA(&msg, window_, 0, 0, PM_REMOVE)) {
        Sleep(1);
        continue;
      }
      if (msg.message == WM_HIVESAVED) {
        s.saved.push_back(msg.lParam);
        s.firstTimes.push_back(msg.wParam);
        if (stopAfterFirst) link->RequestStop();
      } else if (msg.message == WM_MEMOTEXT) {
        s.texts.push_back(link->Text());
      } else if (msg.message == WM_CLOSE) {
        ++s.closes;
      }
    }
    s.closeWasLast = !PeekMessageA(&msg, window_, 0, 0, PM_NOREMOVE);
    return s;
  }

  HWND window_ = nullptr;
  std::vector<std::string> names_, files_;
};

TEST_F(ScanWorker, SavesEveryHiveInOrderAndEndsWithFinish) {
  hive::EnableBackupPrivilege();
  Seen s = Collect(Start(), 30000);
  ASSERT_EQ(s.closes, 1);
  EXPECT_TRUE(s.closeWasLast);
  EXPECT_EQ(s.saved, (std::vector<LPARAM>{1, 2, 3, 4, 5}));
  // One memo update per hive and one for "Finish"; each shows the worker's
  // latest text, so only the last one is fixed.
  ASSERT_EQ(s.texts.size(), 6u);
  EXPECT_EQ(s.texts.back(), "Finish");
  // The first hive's time is the same in every report.
  for (WPARAM t : s.firstTimes) EXPECT_EQ(t, s.firstTimes.front());
  for (const std::string& f : files_) EXPECT_GT(hive::GetFileSize64(f + ".hvx"), 0) << f;
}

TEST_F(ScanWorker, StopFinishesTheHiveInHandAndSkipsTheRest) {
  for (int round = 0; round < 20; ++round) {
    Seen s = Collect(Start(), 30000, /*stopAfterFirst=*/true);
    ASSERT_EQ(s.closes, 1) << round;
    ASSERT_FALSE(s.saved.empty());
    for (std::size_t i = 0; i < s.saved.size(); ++i) EXPECT_EQ(s.saved[i], static_cast<LPARAM>(i + 1));
    // Finish only when the stop came while the last hive was in hand.
    bool finished = !s.texts.empty() && s.texts.back() == "Finish";
    EXPECT_EQ(finished, s.saved.size() == 5u) << round;
    if (!finished) EXPECT_EQ(s.texts.back(), names_[s.saved.size() - 1]);
    WaitForLastWorker(30000);
  }
}

TEST_F(ScanWorker, NothingArrivesOnceTheDialogLetGo) {
  for (int round = 0; round < 30; ++round) {
    auto link = Start();
    Sleep(round % 7);  // let go at various moments of the run
    link->Abandon();
    MSG msg;
    while (PeekMessageA(&msg, window_, 0, 0, PM_REMOVE)) {
    }
    ASSERT_TRUE(WaitForLastWorker(30000));
    EXPECT_FALSE(PeekMessageA(&msg, window_, 0, 0, PM_REMOVE)) << "late message " << msg.message << " in round "
                                                               << round;
  }
}

}  // namespace
