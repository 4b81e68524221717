#include "analysis/results.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace analysis {
namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

// The 32-bit target has no 128-bit integer type, so products of two sizes are
// held in a pair of 64-bit halves.
struct U128 {
  std::uint64_t hi = 0, lo = 0;
};

U128 Multiply(std::uint64_t a, std::uint64_t b) {
  const std::uint64_t aLo = a & 0xFFFFFFFFu, aHi = a >> 32, bLo = b & 0xFFFFFFFFu, bHi = b >> 32;
  const std::uint64_t ll = aLo * bLo, lh = aLo * bHi, hl = aHi * bLo, hh = aHi * bHi;
  const std::uint64_t mid = (ll >> 32) + (lh & 0xFFFFFFFFu) + (hl & 0xFFFFFFFFu);
  U128 r;
  r.lo = (mid << 32) | (ll & 0xFFFFFFFFu);
  r.hi = hh + (lh >> 32) + (hl >> 32) + (mid >> 32);
  return r;
}

bool AtLeast(const U128& a, const U128& b) { return a.hi != b.hi ? a.hi > b.hi : a.lo >= b.lo; }

U128 Subtract(const U128& a, const U128& b) {
  U128 r;
  r.lo = a.lo - b.lo;
  r.hi = a.hi - b.hi - (a.lo < b.lo ? 1 : 0);
  return r;
}

// Restoring long division; speed does not matter at a few calls a second.
U128 Divide(const U128& n, const U128& d) {
  U128 q, r;
  for (int i = 127; i >= 0; --i) {
    // A remainder that shifts out of 128 bits is certainly above d; the
    // wrapping subtraction then still yields the true remainder.
    const bool carry = (r.hi >> 63) != 0;
    const std::uint64_t bit = i >= 64 ? (n.hi >> (i - 64)) & 1u : (n.lo >> i) & 1u;
    r.hi = (r.hi << 1) | (r.lo >> 63);
    r.lo = (r.lo << 1) | bit;
    if (carry || AtLeast(r, d)) {
      r = Subtract(r, d);
      if (i >= 64)
        q.hi |= std::uint64_t{1} << (i - 64);
      else
        q.lo |= std::uint64_t{1} << i;
    }
  }
  return q;
}

std::uint64_t Magnitude(std::int64_t v) {
  return v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
}

std::int64_t Saturated(bool negative, const U128& q) {
  const std::uint64_t limit = negative ? Magnitude(kMin) : static_cast<std::uint64_t>(kMax);
  if (q.hi != 0 || q.lo >= limit) return negative ? kMin : kMax;
  return negative ? -static_cast<std::int64_t>(q.lo) : static_cast<std::int64_t>(q.lo);
}

std::string GroupThousands(std::uint64_t v) {
  const std::string digits = std::to_string(v);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i != 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

}  // namespace

std::int64_t AddSizes(std::int64_t a, std::int64_t b) {
  if (b > 0 && a > kMax - b) return kMax;
  if (b < 0 && a < kMin - b) return kMin;
  return a + b;
}

std::int64_t ScaledQuotient(std::int64_t a, std::uint64_t ma, std::int64_t b, std::uint64_t mb) {
  const U128 q = Divide(Multiply(Magnitude(a), ma), Multiply(Magnitude(b), mb));
  return Saturated((a < 0) != (b < 0), q);
}

std::string FormatSizeKB(std::int64_t bytes) {
  const std::int64_t kb = bytes / 1024 + (bytes % 1024 != 0 ? 1 : 0);
  return (kb < 0 ? "-" : "") + GroupThousands(Magnitude(kb)) + " KB";
}

std::string RowReduction(std::int64_t oldSize, std::int64_t newSize) {
  if (newSize > oldSize || oldSize == 0) return "0%";
  // With new <= old the difference always fits an unsigned 64-bit value.
  const std::uint64_t gained = static_cast<std::uint64_t>(oldSize) - static_cast<std::uint64_t>(newSize);
  const U128 q = Divide(Multiply(gained, 100), U128{0, Magnitude(oldSize)});
  return std::to_string(Saturated(oldSize < 0, q)) + "%";
}

bool SnapshotImplausible(std::int64_t oldSize, std::int64_t newSize) { return oldSize / 4 > newSize; }

Totals ComputeTotals(std::int64_t totalOld, std::int64_t totalNew, const std::string& decimalSeparator) {
  Totals t;
  t.currentSize = FormatSizeKB(totalOld);
  t.newSize = FormatSizeKB(totalNew);
  if (totalNew > totalOld) {
    t.sizeReduction = "0 KB";
    t.compactPercent = "0%";
    return t;
  }
  const std::uint64_t gained = static_cast<std::uint64_t>(totalOld) - static_cast<std::uint64_t>(totalNew);
  t.sizeReduction = FormatSizeKB(gained > static_cast<std::uint64_t>(kMax) ? kMax : static_cast<std::int64_t>(gained));
  if (totalOld != 0) {
    // The product is the exact 64-bit one wherever it fits; the quotient is
    // taken in extended precision and then narrowed to single.
    const long double scaled = gained <= static_cast<std::uint64_t>(kMax) / 100
                                   ? static_cast<long double>(gained * 100)
                                   : static_cast<long double>(gained) * 100;
    t.percent = static_cast<float>(scaled / static_cast<long double>(totalOld));
    t.advise = t.percent < 3.0f;
  }
  t.compactPercent = FormatCompactPercent(t.percent, decimalSeparator);
  return t;
}

std::string FormatCompactPercent(float p, const std::string& decimalSeparator) {
  std::string text;
  const double magnitude = std::fabs(static_cast<double>(p));
  if (magnitude < 4194304.0) {
    // Ten times a float below 2^22 is exact in a double, so halves are seen as
    // halves and go away from zero, as the "0.0" pattern rounds.
    const double tenths = magnitude * 10.0;
    double whole = std::floor(tenths);
    if (tenths - whole >= 0.5) whole += 1.0;
    const auto n = static_cast<std::uint64_t>(whole);
    text = std::to_string(n / 10) + decimalSeparator + std::to_string(n % 10);
    if (p < 0 && n != 0) text = "-" + text;
  } else {
    // From 2^22 on a float is a whole or half number: one decimal needs no rounding.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.1f", static_cast<double>(p));
    text = buffer;
    const std::size_t point = text.find('.');
    if (point != std::string::npos) text.replace(point, 1, decimalSeparator);
  }
  return text + "%";
}

std::string AdviceText(const std::string& compactPercentCaption) {
  return std::string("The fragment rate of your registry is only") + " " + compactPercentCaption + ". " +
         "We suggest that your registry does not need to be compacted at this time. If you select to "
         "compact the registry now, the same fragment rate may appear again.";
}

}  // namespace analysis
