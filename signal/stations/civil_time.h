// The calendar fields of an instant in a fixed offset from UTC. The stations
// carry their own country's time whatever zone the computer is set to, so
// this never looks at the process's time zone.
#pragma once

#include "platform/local_time.h"

struct CivilTime {
  int year = 0;
  unsigned month = 0;      // 1..12
  unsigned day = 0;        // 1..31
  unsigned weekday = 0;    // 0 = Sunday ... 6 = Saturday
  unsigned dayOfYear = 0;  // 1 = 1 January
  unsigned hour = 0;
  unsigned minute = 0;
};

// The fields of utc + offsetHours hours.
CivilTime CivilTimeAt(platform::Time64 utc, int offsetHours);
