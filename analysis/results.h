// The figures of an analysis: the kilobyte format of every size, the per-row
// reduction, the four totals with the low-gain advice, and the plausibility
// test of the SOFTWARE snapshot. Sizes are signed 64-bit byte counts as file
// measuring gives them (0 missing, -1 unmeasurable); no input, however odd,
// overflows or divides by zero.
#pragma once
#include <cstdint>
#include <string>

namespace analysis {

// Every started KB counts (b div 1024, plus 1 when b mod 1024 is not 0), digits
// grouped in threes with "," whatever the locale, then " KB". -1 gives "1 KB".
std::string FormatSizeKB(std::int64_t bytes);

// "0%" when newSize > oldSize, else (old - new) * 100 div old + "%", truncated.
// An old size of 0 gives "0%" rather than dividing. The difference and the
// product are exact however large the sizes (a quotient beyond 64 bits saturates).
std::string RowReduction(std::int64_t oldSize, std::int64_t newSize);

// The SOFTWARE snapshot is implausible when it is below a quarter of its hive
// file: old div 4 > new.
bool SnapshotImplausible(std::int64_t oldSize, std::int64_t newSize);

struct Totals {
  std::string currentSize, newSize, sizeReduction, compactPercent;  // the four label texts
  bool advise = false;  // p < 3.0 (single precision), and only when there was a reduction
  float percent = 0;    // p
};

// decimalSeparator: the user's locale separator (may be more than one character).
// TotalNew > TotalOld: "0 KB", "0%", no advice. A TotalOld of 0 (with nothing
// gained) is not divided by: p is 0, shown "0.0%", and no advice follows.
// A reduction beyond the 64-bit range shows as the largest size.
Totals ComputeTotals(std::int64_t totalOld, std::int64_t totalNew, const std::string& decimalSeparator);

// p with the pattern "0.0" (nearest tenth, halves away from zero) + "%". A value
// that rounds to zero never shows a minus sign.
std::string FormatCompactPercent(float p, const std::string& decimalSeparator);

// "The fragment rate of your registry is only" + " " + caption + ". " + "We suggest that ..."
std::string AdviceText(const std::string& compactPercentCaption);

// a + b, held at the 64-bit limits instead of wrapping: for summing sizes.
std::int64_t AddSizes(std::int64_t a, std::int64_t b);

// (a * ma) div (b * mb), truncating toward zero, computed exactly in 128 bits;
// a quotient outside the 64-bit range saturates. b and mb must not be 0.
std::int64_t ScaledQuotient(std::int64_t a, std::uint64_t ma, std::int64_t b, std::uint64_t mb);

}  // namespace analysis
