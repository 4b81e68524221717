// The defragmentation, in the order the program asks Windows for things,
// with the dialogs behind callbacks so that the order can be checked
// without a screen.
#pragma once
#include <functional>
#include <string>
#include <vector>

struct DefragDialogs {
  // The confirmation; its modal result (Yes 6 goes on).
  std::function<int()> confirm;
  // The restore point; its modal result (Cancel 2 stops).
  std::function<int()> restorePoint;
  // "You must restart your computer ..."; closed in any way.
  std::function<void()> restartMessage;
};

struct DefragOutcome {
  bool requested = false;         // the replacements were asked for
  bool restartAccepted = false;   // Windows took the restart request
};

DefragOutcome RunDefragmentation(const std::vector<std::string>& hiveNames,
                                 const std::vector<std::string>& hiveFiles, bool silentMode,
                                 const DefragDialogs& dialogs);
