// Rules of the restore-point dialog and the unattended report that need no window.
#pragma once
#include <string>

// The next position of the restore-point dialog's time bar (0..100): the step
// shrinks as the bar grows, so that it reaches 100 after 38 seconds.
int NextRestoreBarPosition(int position);

// The "Time" value of the scan report: the date, then, unless the time of
// day is exactly midnight, a blank and the time.
std::string ReportTime(const std::string& shortDate, const std::string& longTime, int hour, int minute,
                       int second);
