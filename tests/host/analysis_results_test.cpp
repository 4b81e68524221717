#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "analysis/results.h"

namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t MB = 1024 * 1024;

TEST(FormatSizeKB, EveryStartedKilobyteGroupedWithCommas) {
  const struct {
    std::int64_t bytes;
    const char* text;
  } cases[] = {
      {0, "0 KB"},
      {1, "1 KB"},
      {1023, "1 KB"},
      {1024, "1 KB"},
      {1025, "2 KB"},
      {7500, "8 KB"},
      {999 * 1024, "999 KB"},
      {999 * 1024 + 1, "1,000 KB"},
      {1262343168, "1,232,757 KB"},
      {1234567LL * 1024, "1,234,567 KB"},
      {-1, "1 KB"},  // an unmeasurable file
      {-1024, "-1 KB"},
      {-1025, "0 KB"},
      {-1262343168, "-1,232,757 KB"},
      {kMax, "9,007,199,254,740,992 KB"},
      {kMin, "-9,007,199,254,740,992 KB"},
  };
  for (const auto& c : cases) EXPECT_EQ(analysis::FormatSizeKB(c.bytes), c.text) << c.bytes;
}

TEST(RowReduction, WholePercentTruncatedOrZero) {
  const struct {
    std::int64_t oldSize, newSize;
    const char* text;
  } cases[] = {
      {10000, 7500, "25%"},
      {10000, 10000, "0%"},
      {10000, 10001, "0%"},
      {1000, 1, "99%"},  // 99.9
      {1000, 0, "100%"},  // a failed save
      {10000, -1, "100%"},  // an unmeasurable snapshot: 100.01
      {0, 0, "0%"},
      {0, -1, "0%"},  // old 0: not divided by
      {-1, -1, "0%"},
      {kMax, 0, "100%"},  // the product would overflow 64 bits
      {kMax, kMin, "200%"},  // so would the difference
  };
  for (const auto& c : cases)
    EXPECT_EQ(analysis::RowReduction(c.oldSize, c.newSize), c.text) << c.oldSize << " -> " << c.newSize;
}

TEST(SnapshotImplausible, BelowAQuarterOfTheHiveFile) {
  const struct {
    std::int64_t oldSize, newSize;
    bool implausible;
  } cases[] = {
      {40 * MB, 10 * MB, false},
      {40 * MB, static_cast<std::int64_t>(9.9 * MB), true},
      {40 * MB + 3, 10 * MB, false},  // 40 MB + 3 div 4 is still 10 MB
      {40 * MB + 4, 10 * MB, true},
      {40 * MB, 0, true},  // no snapshot
      {40 * MB, -1, true},  // unmeasurable snapshot
      {3, 0, false},
      {-1, -1, true},  // neither measurable: -1 div 4 is 0
  };
  for (const auto& c : cases)
    EXPECT_EQ(analysis::SnapshotImplausible(c.oldSize, c.newSize), c.implausible) << c.oldSize << ", " << c.newSize;
}

TEST(ComputeTotals, LabelsPercentAndAdvice) {
  const struct {
    std::int64_t totalOld, totalNew;
    const char* separator;
    const char *current, *next, *reduction, *percent;
    bool advise;
  } cases[] = {
      {1000000, 975000, ".", "977 KB", "953 KB", "25 KB", "2.5%", true},
      {1000000, 975000, ",", "977 KB", "953 KB", "25 KB", "2,5%", true},
      {100000, 97040, ".", "98 KB", "95 KB", "3 KB", "3.0%", true},  // 2.96: the advice goes by p
      {100000, 97000, ".", "98 KB", "95 KB", "3 KB", "3.0%", false},  // exactly 3.0
      {100000, 50000, ".", "98 KB", "49 KB", "49 KB", "50.0%", false},
      {1000000, 1000000, ".", "977 KB", "977 KB", "0 KB", "0.0%", true},  // no gain is still a gain below 3
      {1000000, 1000001, ".", "977 KB", "977 KB", "0 KB", "0%", false},  // grew: nothing to advise on
      {0, 0, ".", "0 KB", "0 KB", "0 KB", "0.0%", false},  // TotalOld 0 is not divided by
      {0, 5, ".", "0 KB", "1 KB", "0 KB", "0%", false},
      {kMax, 0, ".", "9,007,199,254,740,992 KB", "0 KB", "9,007,199,254,740,992 KB", "100.0%", false},
      {kMax, kMin, ".", "9,007,199,254,740,992 KB", "-9,007,199,254,740,992 KB", "9,007,199,254,740,992 KB",
       "200.0%", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.totalOld) + " -> " + std::to_string(c.totalNew) + " with " + c.separator);
    const analysis::Totals t = analysis::ComputeTotals(c.totalOld, c.totalNew, c.separator);
    EXPECT_EQ(t.currentSize, c.current);
    EXPECT_EQ(t.newSize, c.next);
    EXPECT_EQ(t.sizeReduction, c.reduction);
    EXPECT_EQ(t.compactPercent, c.percent);
    EXPECT_EQ(t.advise, c.advise);
  }
}

TEST(ComputeTotals, PercentIsTheSinglePrecisionQuotient) {
  EXPECT_EQ(analysis::ComputeTotals(1000000, 975000, ".").percent, 2.5f);
  EXPECT_EQ(analysis::ComputeTotals(100000, 97040, ".").percent, 2.96f);
  EXPECT_EQ(analysis::ComputeTotals(300, 299, ".").percent, static_cast<float>(100.0L / 300.0L));
  EXPECT_EQ(analysis::ComputeTotals(1000000, 1000001, ".").percent, 0.0f);
}

TEST(FormatCompactPercent, OneDecimalWithTheLocaleSeparator) {
  const struct {
    float p;
    const char* separator;
    const char* text;
  } cases[] = {
      {2.5f, ".", "2.5%"},
      {2.5f, ",", "2,5%"},
      {2.5f, "||", "2||5%"},  // a separator of more than one character
      {2.96f, ".", "3.0%"},
      {0.0f, ".", "0.0%"},
      {0.04f, ".", "0.0%"},
      {0.05f, ".", "0.1%"},  // the float lies just above 0.05
      {1.05f, ".", "1.0%"},  // and this one just below 1.05
      {0.25f, ".", "0.3%"},  // exact halves go away from zero
      {2.25f, ".", "2.3%"},
      {99.95f, ".", "99.9%"},
      {99.96f, ".", "100.0%"},
      {12345.67f, ".", "12345.7%"},
      {-1.25f, ".", "-1.3%"},
      {-0.02f, ".", "0.0%"},  // no minus on a zero
      {1e20f, ",", "100000002004087734272,0%"},
  };
  for (const auto& c : cases) EXPECT_EQ(analysis::FormatCompactPercent(c.p, c.separator), c.text) << c.p;
}

TEST(FormatCompactPercent, NonFiniteValuesStillGiveAText) {
  for (float p : {std::numeric_limits<float>::infinity(), std::nanf("")}) {
    const std::string text = analysis::FormatCompactPercent(p, ".");
    EXPECT_GT(text.size(), 1u);
    EXPECT_EQ(text.back(), '%');
  }
}

TEST(AdviceText, QuotesTheCompactPercent) {
  EXPECT_EQ(analysis::AdviceText("2.5%"),
            "The fragment rate of your registry is only 2.5%. We suggest that your registry does not need to be "
            "compacted at this time. If you select to compact the registry now, the same fragment rate may appear "
            "again.");
}

TEST(ScaledQuotient, ExactTruncatingAndSaturating) {
  const struct {
    std::int64_t a;
    std::uint64_t ma;
    std::int64_t b;
    std::uint64_t mb;
    std::int64_t q;
  } cases[] = {
      {7, 1, 2, 1, 3},
      {-7, 1, 2, 1, -3},  // toward zero, not down
      {7, 1, -2, 1, -3},
      {-7, 1, -2, 1, 3},
      {0, 1000, -5, 1, 0},
      {kMax, 1000, kMax, 1, 1000},
      {kMax, 1000000, kMax, 1000000, 1},
      {kMax - 1, 1, kMax, 1, 0},
      {kMin, 1, 1, 1, kMin},
      {kMin, 1, -1, 1, kMax},  // 2^63 does not fit: held at the limit
      {kMax, 2, 1, 1, kMax},
      {kMin, 2, 1, 1, kMin},
      {3, std::numeric_limits<std::uint64_t>::max(), 1, std::numeric_limits<std::uint64_t>::max(), 3},
      {kMin, std::numeric_limits<std::uint64_t>::max(), kMax, 1, kMin},
  };
  for (const auto& c : cases)
    EXPECT_EQ(analysis::ScaledQuotient(c.a, c.ma, c.b, c.mb), c.q) << c.a << "*" << c.ma << " / " << c.b << "*" << c.mb;
}

TEST(AddSizes, HeldAtTheLimits) {
  EXPECT_EQ(analysis::AddSizes(5, -7), -2);
  EXPECT_EQ(analysis::AddSizes(kMin, kMax), -1);
  EXPECT_EQ(analysis::AddSizes(kMax, 1), kMax);
  EXPECT_EQ(analysis::AddSizes(kMin, -1), kMin);
}

}  // namespace
