#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "analysis/progress.h"

namespace {

using analysis::ProgressEstimate;
using analysis::SizeSource;

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t KB = 1024;

// The files as the dialog would measure them; a test changes them between events.
struct Disk {
  std::vector<std::int64_t> hiveFiles;
  std::vector<std::int64_t> snapshots;

  explicit Disk(std::vector<std::int64_t> files)
      : hiveFiles(std::move(files)), snapshots(hiveFiles.size(), 0) {}
  SizeSource Source() {
    return {[this](std::size_t i) { return hiveFiles.at(i); },
            [this](std::size_t i) { return snapshots.at(i); }};
  }
};

struct Event {
  bool report;            // a WM_HIVESAVED, otherwise a timer tick
  std::int64_t snapshot;  // size of the snapshot of hive HiveIndex when the event comes
  std::uint32_t ms;       // reports: the first hive's time
  std::int32_t count;     // reports: hives handled so far
  // Afterwards:
  int position;
  std::int32_t nextLimit;
  std::int64_t timerStep;
  std::int32_t hiveIndex;
  bool ticking;  // ticks: whether the timer stays on
};

Event Tick(std::int64_t snapshot, int position, std::int32_t nextLimit, std::int64_t step,
           std::int32_t index, bool ticking = true) {
  return {false, snapshot, 0, 0, position, nextLimit, step, index, ticking};
}

Event Report(std::int64_t snapshot, std::uint32_t ms, std::int32_t count, int position,
             std::int32_t nextLimit, std::int64_t step, std::int32_t index) {
  return {true, snapshot, ms, count, position, nextLimit, step, index, true};
}

struct Scenario {
  const char* name;
  std::vector<std::int64_t> hiveFiles;
  bool wow64;
  std::int64_t totalSize;
  std::vector<Event> events;
};

void RunScenario(const Scenario& sc) {
  SCOPED_TRACE(sc.name);
  Disk disk(sc.hiveFiles);
  ProgressEstimate est(sc.hiveFiles.size(), sc.wow64, disk.Source());
  est.FormShow();
  est.StartScan();
  EXPECT_EQ(est.TotalSize(), sc.totalSize);
  EXPECT_EQ(est.Position(), 0);
  for (std::size_t n = 0; n < sc.events.size(); ++n) {
    const Event& e = sc.events[n];
    SCOPED_TRACE("event " + std::to_string(n + 1));
    const auto index = static_cast<std::size_t>(est.HiveIndex());
    if (index < disk.snapshots.size()) disk.snapshots[index] = e.snapshot;
    if (e.report)
      est.HiveSaved(e.ms, e.count);
    else
      EXPECT_EQ(est.TimerTick(), e.ticking);
    EXPECT_EQ(est.Position(), e.position);
    EXPECT_EQ(est.NextLimit(), e.nextLimit);
    EXPECT_EQ(est.TimerStep(), e.timerStep);
    EXPECT_EQ(est.HiveIndex(), e.hiveIndex);
  }
}

TEST(ProgressEstimate, RunsFollowTheirEvents) {
  const Scenario scenarios[] = {
      // 100, 200 and 700 KB; the first snapshot of 66 KB in 2 s gives a step of 33.
      {"three hives",
       {100 * KB, 200 * KB, 700 * KB},
       false,
       1024000,
       {
           Tick(0, 4, 0, 4, 0),  // first hive, nothing visible: creeps by 4
           Tick(0, 8, 0, 4, 0),
           Tick(30 * KB, 30, 0, 4, 0),  // the snapshot shows: the bar follows it
           Report(66 * KB, 2000, 1, 100, 300, 33, 1),
           Tick(0, 133, 300, 33, 1),  // creeps by the step while below 300 - 33
           Tick(0, 166, 300, 33, 1),
           Tick(0, 199, 300, 33, 1),
           Tick(0, 232, 300, 33, 1),
           Tick(0, 265, 300, 33, 1),
           Tick(0, 298, 300, 33, 1),
           Tick(0, 298, 300, 33, 1),  // 267 is not above 298: it waits below 300
           Tick(100 * KB, 200, 300, 33, 1),  // a visible snapshot may pull it back
           Report(180 * KB, 2000, 2, 300, 1000, 33, 2),
           Tick(0, 333, 1000, 33, 2),
           Tick(500 * KB, 800, 1000, 33, 2),
           Tick(700 * KB, 1000, 1000, 33, 2, false),
           Report(700 * KB, 2000, 3, 1000, 1000, 33, 3),
           Tick(0, 1000, 1000, 33, 3, true),  // after the last report a tick changes nothing
           Report(0, 2000, 3, 1000, 1000, 33, 3),  // a late report is ignored
       }},
      {"WOW64 step from the first report on",
       {500, 500},
       true,
       1000,
       {
           Tick(0, 4, 0, 4, 0),  // 4 before the first report, WOW64 or not
           Report(400, 0, 1, 500, 1000, 17, 1),
           Tick(0, 517, 1000, 17, 1),
       }},
      // An unmeasurable first snapshot: (0 - 1) * 1000 div 1000 is 0, not a creep.
      {"snapshot of -1 enters as it is",
       {500, 500},
       false,
       1000,
       {
           Tick(-1, 0, 0, 4, 0),
           Tick(0, 4, 0, 4, 0),
           // s = -1 in 1 ms: -1000, +10.
           Report(-1, 1, 1, 500, 1000, -990, 1),
           Tick(0, 0, 1000, -990, 1),  // a negative step drops the bar to 0 and holds it there
           Tick(0, 0, 1000, -990, 1),
           Tick(250, 750, 1000, -990, 1),
       }},
      {"reports out of range are ignored whole",
       {500, 500},
       false,
       1000,
       {
           Report(400, 0, 0, 0, 0, 4, 0),
           Report(400, 0, -1, 0, 0, 4, 0),
           Report(400, 0, 3, 0, 0, 4, 0),
           Report(400, 0, 1, 500, 1000, 40, 1),
           Report(400, 0, 1, 500, 1000, 40, 1),  // the same count again
           Report(400, 0, 2, 1000, 1000, 40, 2),
       }},
      // No size at all: nothing divides, the bar keeps what it has, the timer
      // still creeps where it may, and the step is that of an unknown speed.
      {"total size 0",
       {0, 0},
       false,
       0,
       {
           Tick(0, 4, 0, 4, 0),
           Tick(100, 4, 0, 4, 0),
           Report(100, 200, 1, 4, 0, 40, 1),
           Tick(0, 4, 0, 40, 1),
           Tick(50, 4, 0, 40, 1),
           Report(50, 200, 2, 4, 0, 40, 2),
       }},
      {"sizes at the 64-bit limits",
       {kMax, kMax},
       false,
       kMax,
       {
           Tick(kMin, 0, 0, 4, 0),
           Tick(kMax, 1000, 0, 4, 0, false),
           Report(kMax, 1, 1, 1000, 1000, 50, 1),
           Tick(kMin, 0, 1000, 50, 1),  // DoneSize + s is -1
           Tick(0, 50, 1000, 50, 1),
       }},
      {"no hives",
       {},
       false,
       0,
       {
           Tick(0, 0, 0, 4, 0),
           Report(0, 10, 1, 0, 0, 4, 0),
       }},
  };
  for (const Scenario& sc : scenarios) RunScenario(sc);
}

TEST(ProgressEstimate, TheHundredTwoHundredSevenHundredExample) {
  Disk disk({100 * KB, 200 * KB, 700 * KB});
  ProgressEstimate est(3, false, disk.Source());
  est.FormShow();
  est.StartScan();
  EXPECT_EQ(est.TotalSize(), 1024000);
  const int positions[] = {100, 300, 1000};
  for (std::int32_t k = 1; k <= 3; ++k) {
    disk.snapshots[k - 1] = disk.hiveFiles[k - 1] / 2;
    est.HiveSaved(1500, k);
    EXPECT_EQ(est.Position(), positions[k - 1]) << "after report " << k;
    EXPECT_EQ(est.HiveIndex(), k);
    if (k == 1) {
      EXPECT_EQ(est.NextLimit(), 300);
    }
  }
  EXPECT_EQ(est.DoneSize(), 1024000);
}

TEST(ProgressEstimate, FirstReportSetsTheTimerStep) {
  struct Case {
    const char* what;
    std::int64_t snapshot;
    std::uint32_t ms;
    std::int64_t total;
    std::int64_t plain, wow64;
  };
  // With a total of 1,000,000 and 1000 ms the computed step is snapshot / 1000.
  const Case cases[] = {
      {"5 -> 15", 5000, 1000, 1000000, 15, 4},
      {"12 -> 14", 12000, 1000, 1000000, 14, 4},
      {"25 -> 40", 25000, 1000, 1000000, 40, 17},
      {"80 -> 50", 80000, 1000, 1000000, 50, 22},
      {"0 ms", 5000, 0, 1000000, 40, 17},
      {"9 -> 19", 9999, 1000, 1000000, 19, 6},
      {"10 -> 10", 10000, 1000, 1000000, 10, 2},
      {"30 unchanged", 30000, 1000, 1000000, 30, 12},
      {"50 unchanged", 50000, 1000, 1000000, 50, 22},
      {"51 -> 50", 51000, 1000, 1000000, 50, 22},
      {"-3.3 truncates to -3", -1, 3, 100000, 7, 0},
      {"-1000 -> -990", -1, 1, 1000, -990, 1},
      {"no snapshot", 0, 1000, 1000000, 10, 2},
      {"product beyond 64 bits", kMax, 1, 1000, 50, 22},
      {"both products beyond 64 bits, exact", kMax, 1000000, kMax, 11, 2},
      {"most negative snapshot", kMin, 1, 1, kMin + 10, 1},
      {"total 0", 5000, 1000, 0, 40, 17},
  };
  for (const Case& c : cases) {
    for (bool wow64 : {false, true}) {
      Disk disk({c.total, 0});
      disk.snapshots[0] = c.snapshot;
      ProgressEstimate est(2, wow64, disk.Source());
      est.FormShow();
      est.StartScan();
      est.HiveSaved(c.ms, 1);
      EXPECT_EQ(est.TimerStep(), wow64 ? c.wow64 : c.plain) << c.what << (wow64 ? " (WOW64)" : "");
    }
  }
}

TEST(ProgressEstimate, FirstHiveCreepsByFourUntilTheTimerStops) {
  for (bool wow64 : {false, true}) {
    Disk disk({500, 500});
    ProgressEstimate est(2, wow64, disk.Source());
    est.FormShow();
    est.StartScan();
    int ticks = 0;
    while (est.TimerTick()) {
      ++ticks;
      ASSERT_EQ(est.Position(), 4 * ticks);
      ASSERT_LT(ticks, 1000);
    }
    EXPECT_EQ(ticks + 1, 250);
    EXPECT_EQ(est.Position(), 1000);
    EXPECT_FALSE(est.TimerTick());  // the bar holds at its maximum
    EXPECT_EQ(est.Position(), 1000);
  }
}

TEST(ProgressEstimate, FormShowStartsARunAfresh) {
  Disk disk({500, 500});
  ProgressEstimate est(2, false, disk.Source());
  est.FormShow();
  est.StartScan();
  est.HiveSaved(0, 1);
  ASSERT_EQ(est.Position(), 500);
  est.FormShow();
  EXPECT_EQ(est.Position(), 0);
  EXPECT_EQ(est.DoneSize(), 0);
  EXPECT_EQ(est.HiveIndex(), 0);
  EXPECT_EQ(est.TimerStep(), 4);
  EXPECT_EQ(est.NextLimit(), 0);
}

TEST(ProgressEstimate, SizesAreMeasuredWhenTheRulesNeedThem) {
  Disk disk({100, 100});
  ProgressEstimate est(2, false, disk.Source());
  est.FormShow();
  disk.hiveFiles = {300, 700};  // grown before the scan starts
  est.StartScan();
  EXPECT_EQ(est.TotalSize(), 1000);
  disk.hiveFiles[0] = 400;  // and again before its report
  est.HiveSaved(0, 1);
  EXPECT_EQ(est.DoneSize(), 400);
  EXPECT_EQ(est.Position(), 400);
  EXPECT_EQ(est.NextLimit(), 1100);  // a limit, unlike the bar, is not held to 1000
}

TEST(BarCaption, WholePercentTruncated) {
  const std::pair<int, const char*> cases[] = {{0, "0%"}, {9, "0%"}, {537, "53%"}, {999, "99%"}, {1000, "100%"}};
  for (const auto& c : cases) EXPECT_EQ(analysis::BarCaption(c.first), c.second) << c.first;
}

}  // namespace
