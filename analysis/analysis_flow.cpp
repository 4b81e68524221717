#include "analysis/analysis_flow.h"

#include "common/strutil.h"
#include "hive/snapshot.h"
#include "i18n/language.h"

namespace analysis {

void RunAnalysis(const std::vector<std::string>& hiveNames, const std::vector<std::string>& hiveFiles,
                 bool silentMode, const std::string& decimalSeparator, const AnalysisView& view) {
  if (hiveNames.empty()) return;
  for (const std::string& file : hiveFiles) {
    if (hive::IsFileLocked(file + ".hvx")) {
      view.message("Can not analyze the registry now! Please try again later.");
      return;
    }
  }
  const bool succeeded = view.runProgress() == "Finish";
  if (succeeded) {
    for (const std::string& file : hiveFiles) {
      if (!str::ContainsNoCase(file, "SOFTWARE")) continue;
      if (SnapshotImplausible(hive::GetFileSize64(file), hive::GetFileSize64(file + ".hvx"))) {
        view.message(LoadLanString("RES_Analyze_NoSuccess", "Failed to analyze the registry!"));
        view.setDefragEnabled(false);
        return;
      }
    }
  }
  view.setDefragEnabled(succeeded);
  if (!succeeded) return;

  std::int64_t totalOld = 0, totalNew = 0;
  for (std::size_t i = 0; i < hiveFiles.size(); ++i) {
    std::int64_t o = hive::GetFileSize64(hiveFiles[i]);
    std::int64_t n = hive::GetFileSize64(hiveFiles[i] + ".hvx");
    totalOld = AddSizes(totalOld, o);
    totalNew = AddSizes(totalNew, n);
    view.setRow(i, FormatSizeKB(o), FormatSizeKB(n), RowReduction(o, n));
  }
  const Totals t = ComputeTotals(totalOld, totalNew, decimalSeparator);
  view.setTotals(t);
  if (t.advise && !silentMode) view.message(AdviceText(t.compactPercent));
}

}  // namespace analysis
