// What a dialog and its worker thread share: the dialog's window, a stop
// request, and whether the dialog still wants to hear from the worker.
// Everything else reaches the dialog as posted messages, handled on the GUI
// thread in the order they were posted.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

class WorkerLink {
 public:
  explicit WorkerLink(HWND notify) : notify_(notify) {}

  // Worker side: posts unless the dialog has let go; false when it has.
  bool Post(UINT msg, WPARAM wp, LPARAM lp) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (abandoned_) return false;
    return PostMessageA(notify_, msg, wp, lp) != FALSE;
  }
  // Worker side: a text for the dialog to show, announced by `msg`.
  void PostText(const std::string& text, UINT msg) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (abandoned_) return;
    text_ = text;
    PostMessageA(notify_, msg, 0, 0);
  }
  // GUI side: the latest text.
  std::string Text() {
    std::lock_guard<std::mutex> lock(mutex_);
    return text_;
  }

  void RequestStop() { stop_ = true; }
  bool StopRequested() const { return stop_; }

  // GUI side: from now on nothing the worker does reaches the dialog.
  void Abandon() {
    std::lock_guard<std::mutex> lock(mutex_);
    abandoned_ = true;
    stop_ = true;
  }

  void SetFinished() { finished_ = true; }
  bool Finished() const { return finished_; }

 private:
  HWND notify_;
  std::mutex mutex_;
  bool abandoned_ = false;
  std::string text_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> finished_{false};
};

// Starts `body` on a thread of its own that ends by itself. The last thread
// started this way can be awaited, so that nothing is left writing files when
// the program ends or starts the next run.
void StartDetachedWorker(std::function<void()> body);
// Waits, still answering the window system, until the last worker has ended
// or `timeoutMs` passed; true when it has ended.
bool WaitForLastWorker(DWORD timeoutMs);
