#include "platform/local_time.h"

#include "platform/local_time_system.h"

namespace platform {

CivilTime ToLocalTime(Time64 t) {
  CivilTime fields;
  std::tm tm{};
  // Windows' runtime holds no time before 1970; neither does the program
  // elsewhere, so that every system gives the same frames.
  if (t < 0 || !detail::SystemLocalTime(t, tm)) {
    fields.hour = fields.minute = fields.second = -1;
    return fields;
  }
  fields.year = tm.tm_year + 1900;
  fields.month = tm.tm_mon + 1;
  fields.day = tm.tm_mday;
  fields.weekday = tm.tm_wday + 1;
  fields.dayOfYear = tm.tm_yday + 1;
  fields.hour = tm.tm_hour;
  fields.minute = tm.tm_min;
  fields.second = tm.tm_sec;
  return fields;
}

bool BuildLocalTime(int year, int month, int day, int hour, int minute, int second, Time64& out) {
  if (year < 1900 || month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23 || minute < 0 ||
      minute > 59 || second < 0 || second > 59) {
    return false;
  }
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_sec = second;
  tm.tm_isdst = -1;
  Time64 t = 0;
  if (!detail::SystemMakeTime(tm, t) || t < 0) return false;
  out = t;
  return true;
}

}  // namespace platform
