// One analysis from the button to the figures, with the window behind
// callbacks so that every path can be checked without a screen.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "analysis/results.h"

namespace analysis {

struct AnalysisView {
  // Shows the progress dialog modally; returns its memo text afterwards.
  std::function<std::string()> runProgress;
  // A message box with an OK button.
  std::function<void(const std::string& text)> message;
  std::function<void(std::size_t row, const std::string& currentSize, const std::string& newSize,
                     const std::string& reduction)>
      setRow;
  std::function<void(const Totals& totals)> setTotals;
  std::function<void(bool enabled)> setDefragEnabled;
};

void RunAnalysis(const std::vector<std::string>& hiveNames, const std::vector<std::string>& hiveFiles,
                 bool silentMode, const std::string& decimalSeparator, const AnalysisView& view);

}  // namespace analysis
