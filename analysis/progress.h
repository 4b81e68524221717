// The progress dialog's estimate as a state machine of its own, so the rules
// can run without a window: the dialog feeds it its events and shows Position.
//
// Where the rules would divide by zero or overflow:
// - A TotalSize of 0 leaves Position and NextLimit as they are wherever they
//   would be divided by it; the creeping steps, which do not divide, go on.
// - t * TotalSize of 0 (either factor) gives the TimerStep of an unknown
//   speed, 40.
// - Products and sums of sizes are exact or held at the 64-bit limits, so a
//   huge or negative size (a -1 enters as it is) moves the bar oddly but never
//   wraps; NextLimit is held within 32 bits.
// - A report whose count is not above HiveIndex or exceeds the number of hives
//   cannot come from the worker and is ignored whole.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace analysis {

// Live file sizes, asked for at the moment the dialog's rules need them.
struct SizeSource {
  std::function<std::int64_t(std::size_t i)> hiveFile;  // GetFileSize64 of hive file i
  std::function<std::int64_t(std::size_t i)> snapshot;  // GetFileSize64 of hive file i + ".hvx"
};

// The progress dialog's estimate: bar positions 0..1000.
class ProgressEstimate {
 public:
  ProgressEstimate(std::size_t hiveCount, bool isWow64, SizeSource sizes);
  void FormShow();  // Position 0, DoneSize 0, HiveIndex 0, TimerStep 4, NextLimit 0
  void StartScan();  // TotalSize = sum of hiveFile(i) over all hives
  void HiveSaved(std::uint32_t firstHiveMs, std::int32_t count);  // the WM_HIVESAVED rules
  // One Timer1Timer tick; returns false when the timer must be disabled (position
  // reached 1000). A tick after the last report changes nothing and returns true.
  bool TimerTick();
  int Position() const;  // the bar position, as the bar holds it (clamped to 0..1000)
  std::int64_t TotalSize() const;
  std::int64_t DoneSize() const;
  std::int64_t TimerStep() const;
  std::int32_t HiveIndex() const;
  std::int32_t NextLimit() const;

 private:
  void SetPosition(std::int64_t position);
  bool HiveInHand() const;
  std::int64_t HiveFileSize(std::size_t i) const;
  std::int64_t SnapshotSize(std::size_t i) const;
  std::int64_t FirstTimerStep(std::uint32_t firstHiveMs) const;

  std::size_t hiveCount_;
  bool isWow64_;
  SizeSource sizes_;
  int position_ = 0;
  std::int64_t totalSize_ = 0;
  std::int64_t doneSize_ = 0;
  std::int64_t timerStep_ = 4;
  std::int32_t hiveIndex_ = 0;
  std::int32_t nextLimit_ = 0;
};

// The bar's caption: position * 100 / 1000, truncated, + "%" (537 shows "53%").
std::string BarCaption(int position);

}  // namespace analysis
