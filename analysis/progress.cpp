#include "analysis/progress.h"

#include <limits>
#include <utility>

#include "analysis/results.h"

namespace analysis {
namespace {

constexpr int kBarMax = 1000;

std::int32_t HeldTo32Bits(std::int64_t v) {
  if (v > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (v < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(v);
}

}  // namespace

ProgressEstimate::ProgressEstimate(std::size_t hiveCount, bool isWow64, SizeSource sizes)
    : hiveCount_(hiveCount), isWow64_(isWow64), sizes_(std::move(sizes)) {}

void ProgressEstimate::FormShow() {
  SetPosition(0);
  doneSize_ = 0;
  hiveIndex_ = 0;
  timerStep_ = 4;
  nextLimit_ = 0;
}

void ProgressEstimate::StartScan() {
  totalSize_ = 0;
  for (std::size_t i = 0; i < hiveCount_; ++i) totalSize_ = AddSizes(totalSize_, HiveFileSize(i));
}

void ProgressEstimate::HiveSaved(std::uint32_t firstHiveMs, std::int32_t count) {
  if (!HiveInHand()) return;
  if (count <= hiveIndex_ || static_cast<std::uint64_t>(count) > hiveCount_) return;
  if (hiveIndex_ == 0) timerStep_ = FirstTimerStep(firstHiveMs);
  const auto done = static_cast<std::size_t>(hiveIndex_);
  doneSize_ = AddSizes(doneSize_, HiveFileSize(done));
  if (totalSize_ != 0) {
    SetPosition(ScaledQuotient(doneSize_, 1000, totalSize_, 1));
    if (done + 1 < hiveCount_)
      nextLimit_ = HeldTo32Bits(ScaledQuotient(AddSizes(doneSize_, HiveFileSize(done + 1)), 1000, totalSize_, 1));
  }
  hiveIndex_ = count;
}

bool ProgressEstimate::TimerTick() {
  if (!HiveInHand()) return true;
  const std::int64_t s = SnapshotSize(static_cast<std::size_t>(hiveIndex_));
  if (s != 0) {
    if (totalSize_ != 0) SetPosition(ScaledQuotient(AddSizes(doneSize_, s), 1000, totalSize_, 1));
  } else {
    if (nextLimit_ == 0 && hiveIndex_ == 0) SetPosition(AddSizes(position_, timerStep_));
    // NextLimit - TimerStep > Position, rearranged so a huge step cannot overflow.
    if (std::int64_t{nextLimit_} - position_ > timerStep_) SetPosition(AddSizes(position_, timerStep_));
  }
  return position_ < kBarMax;
}

int ProgressEstimate::Position() const { return position_; }
std::int64_t ProgressEstimate::TotalSize() const { return totalSize_; }
std::int64_t ProgressEstimate::DoneSize() const { return doneSize_; }
std::int64_t ProgressEstimate::TimerStep() const { return timerStep_; }
std::int32_t ProgressEstimate::HiveIndex() const { return hiveIndex_; }
std::int32_t ProgressEstimate::NextLimit() const { return nextLimit_; }

void ProgressEstimate::SetPosition(std::int64_t position) {
  position_ = position < 0 ? 0 : position > kBarMax ? kBarMax : static_cast<int>(position);
}

bool ProgressEstimate::HiveInHand() const { return static_cast<std::size_t>(hiveIndex_) < hiveCount_; }

std::int64_t ProgressEstimate::HiveFileSize(std::size_t i) const {
  return sizes_.hiveFile ? sizes_.hiveFile(i) : 0;
}

std::int64_t ProgressEstimate::SnapshotSize(std::size_t i) const {
  return sizes_.snapshot ? sizes_.snapshot(i) : 0;
}

std::int64_t ProgressEstimate::FirstTimerStep(std::uint32_t firstHiveMs) const {
  const std::int64_t s = SnapshotSize(0);
  std::int64_t step = 40;
  if (firstHiveMs != 0 && totalSize_ != 0) {
    // The first hive's writing speed, in thousandths of the total per second.
    step = ScaledQuotient(s, 1000 * 1000, totalSize_, firstHiveMs);
    if (step < 10)
      step += 10;
    else if (step < 30)
      step = step * 2 - 10;
    if (step > 50) step = 50;
  }
  if (isWow64_) {
    step = step / 2 - 3;
    if (step < 0) step = 1;
  }
  return step;
}

std::string BarCaption(int position) { return std::to_string(std::int64_t{position} * 100 / 1000) + "%"; }

}  // namespace analysis
