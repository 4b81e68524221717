// The restore-point worker against the real loader: the System Restore
// client comes from the Windows system folder and nowhere else.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/messages.h"
#include "common/app_paths.h"
#include "common/win/worker.h"
#include "defrag/win/frmSystemPoint.h"

namespace {

struct Outcome {
  int messages = 0;
  LPARAM lParam = -1;
};

class RestorePointWorker : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window_);
    marker_ = app::ExeDir() + "standin-called.txt";
    DeleteFileA(marker_.c_str());
    ASSERT_NE(GetFileAttributesA((app::ExeDir() + "SrClient.dll").c_str()), INVALID_FILE_ATTRIBUTES)
        << "the stand-in library must lie beside the test program";
  }
  void TearDown() override {
    DestroyWindow(window_);
    DeleteFileA(marker_.c_str());
  }
  // Runs one worker to its end on this thread and collects what it posted.
  Outcome Run(const std::string* libraryPath) {
    auto link = std::make_shared<WorkerLink>(window_);
    TCreateSystemPointThread worker(link);
    if (libraryPath) worker.LibraryPath = *libraryPath;
    worker.Execute();
    Outcome o;
    MSG msg;
    while (PeekMessageA(&msg, window_, 0, 0, PM_REMOVE))
      if (msg.message == WM_RESTOREPOINTDONE) {
        ++o.messages;
        o.lParam = msg.lParam;
      }
    return o;
  }
  bool StandInCalled() const { return GetFileAttributesA(marker_.c_str()) != INVALID_FILE_ATTRIBUTES; }

  HWND window_ = nullptr;
  std::string marker_;
};

TEST_F(RestorePointWorker, TakesTheClientFromTheSystemFolderNotFromBesideTheProgram) {
  // A planted copy beside the program and in the working folder.
  SetCurrentDirectoryA(app::ExeDir().c_str());
  Outcome o = Run(nullptr);
  EXPECT_EQ(o.messages, 1);
  EXPECT_FALSE(StandInCalled());
  char sys[MAX_PATH];
  GetSystemDirectoryA(sys, MAX_PATH);
  EXPECT_EQ(SystemLibraryPath("SrClient.dll"), std::string(sys) + "\\SrClient.dll");
  // Wine's own client refuses every request.
  EXPECT_EQ(o.lParam, 1);
}

TEST_F(RestorePointWorker, ReportsTheClientsAnswerOnce) {
  const std::string standIn = app::ExeDir() + "SrClient.dll";
  Outcome o = Run(&standIn);
  EXPECT_TRUE(StandInCalled());
  EXPECT_EQ(o.messages, 1);
  EXPECT_EQ(o.lParam, 0);
}

TEST_F(RestorePointWorker, MissingOrRelativeLibraryIsAFailureWithoutASearch) {
  SetCurrentDirectoryA(app::ExeDir().c_str());
  const std::string cases[] = {"SrClient.dll", "", app::ExeDir() + "NoSuchClient.dll"};
  for (const std::string& path : cases) {
    Outcome o = Run(&path);
    EXPECT_EQ(o.messages, 1) << path;
    EXPECT_EQ(o.lParam, 1) << path;
    EXPECT_FALSE(StandInCalled()) << path;
  }
}

TEST_F(RestorePointWorker, NothingReachesADialogThatLetGo) {
  auto link = std::make_shared<WorkerLink>(window_);
  link->Abandon();
  TCreateSystemPointThread worker(link);
  worker.Execute();
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, window_, 0, 0, PM_REMOVE));
}

}  // namespace
