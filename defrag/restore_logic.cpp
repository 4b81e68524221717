#include "defrag/restore_logic.h"

int NextRestoreBarPosition(int p) {
  if (p < 0) return 10;
  if (p <= 30) return p + 10;
  if (p <= 50) return p + 5;
  if (p <= 60) return p + 3;
  if (p <= 80) return p + 2;
  if (p <= 99) return p + 1;
  return p;
}

std::string ReportTime(const std::string& shortDate, const std::string& longTime, int hour, int minute,
                       int second) {
  if (hour == 0 && minute == 0 && second == 0) return shortDate;
  return shortDate + " " + longTime;
}
