#include "plugins/maya/src/BuildStamp.h"

#include <chrono>
#include <cstdio>
#include <cstring>

std::string formatBuildStamp(const char* date, const char* time) {
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  static const char* const kWeekdays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  char monthName[4] = {};
  unsigned day = 0;
  int year = 0;
  const std::string rest = std::string(date) + " " + time;
  if (std::sscanf(date, "%3s %u %d", monthName, &day, &year) != 3) return "??? " + rest;
  unsigned month = 0;
  for (unsigned i = 0; i < 12; ++i)
    if (std::strcmp(monthName, kMonths[i]) == 0) month = i + 1;
  const std::chrono::year_month_day ymd{std::chrono::year(year), std::chrono::month(month), std::chrono::day(day)};
  if (!ymd.ok()) return "??? " + rest;
  const unsigned weekday = std::chrono::weekday(std::chrono::sys_days(ymd)).c_encoding();
  char text[64];
  std::snprintf(text, sizeof text, "%s %s %2u %s %d", kWeekdays[weekday], kMonths[month - 1], day, time, year);
  return text;
}

std::string buildStamp() { return formatBuildStamp(__DATE__, __TIME__); }
