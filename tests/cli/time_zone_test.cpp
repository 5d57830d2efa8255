// The computer's time zone says which instant a local time names. Linux
// reads TZ in every form. Windows' runtime reads only its own (JST-9,
// EST5EDT), so there any other value is ignored with a warning, for the
// system's time zone, which under Wine is the host's, taken from that same
// TZ: each case names the same instant on both systems.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/cli/cli_runner.h"

namespace {

using cli_test::RunCli;

TEST(TimeZone, ALocalTimeNamesTheInstantOfTheComputersZone) {
  struct Case {
    const char* zone;
    const char* local;
    const char* utc;  // the same instant
    bool runtimeForm;
  };
  const Case cases[] = {
      {"JST-9", "2026-03-29 06:00:00", "2026-03-28 21:00:00", true},
      {"EST5EDT", "2026-07-04 12:00:00", "2026-07-04 16:00:00", true},
      {"Asia/Tokyo", "2026-03-29 06:00:00", "2026-03-28 21:00:00", false},
      {"Asia/Shanghai", "2026-07-01 08:00:00", "2026-07-01 00:00:00", false},
      {"Europe/Berlin", "2026-03-29 01:59:00", "2026-03-29 00:59:00", false},
      {"Europe/Berlin", "2026-03-29 03:00:00", "2026-03-29 01:00:00", false},
      {"America/New_York", "2026-11-01 12:00:00", "2026-11-01 17:00:00", false},
  };
  const bool windows = test_support::CliIsWindowsBuild();
  for (const Case& c : cases) {
    const std::string name = std::string(c.zone) + " " + c.local;
    for (const char* station : {"jjy40", "dcf77"}) {
      cli_test::Result r = RunCli({"frame", "--station", station, c.local}, {"TZ=" + std::string(c.zone)});
      EXPECT_EQ(r.status, 0) << name << ": " << r.err;
      EXPECT_EQ(r.out, RunCli({"frame", "--station", station, c.utc}, {"TZ=UTC0"}).out) << name << " " << station;
      if (windows && !c.runtimeForm) {
        EXPECT_NE(r.err.find("TZ"), std::string::npos) << name << ": " << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << name << ": " << r.err;
      } else {
        EXPECT_EQ(r.err, "") << name;
      }
    }
  }
}

}  // namespace
