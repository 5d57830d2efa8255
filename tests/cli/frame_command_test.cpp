#include <gtest/gtest.h>

#include <algorithm>

#include "tests/cli/cli_runner.h"

namespace {

using cli_test::RunCli;

TEST(FrameCommand, PrintsTheFrameWithTheCalendarWeekday) {
  struct Case {
    const char* time;
    const char* line;
  };
  const Case cases[] = {
      {"2026-12-31 23:59:41", "0,2,0,2,3,3,2,3,1,0,2,1,3,3,3,0,1,2,2,0\n"},  // a Thursday
      {"2017-01-01 01:01:01", "0,0,0,0,1,0,0,1,1,3,1,0,0,1,0,1,1,0,1,0\n"},  // a Sunday
      {"2070-07-04 13:05:21", "0,1,0,0,1,0,1,1,1,1,2,0,1,0,1,3,0,1,2,2\n"},  // a Friday
  };
  for (const Case& c : cases) {
    cli_test::Result r = RunCli({"frame", c.time});
    EXPECT_EQ(r.status, 0) << c.time << ": " << r.err;
    EXPECT_EQ(r.out, c.line) << c.time;
    EXPECT_EQ(r.err, "");
  }
}

TEST(FrameCommand, BadInputIsOneLineAndStatusTwo) {
  const std::vector<std::vector<std::string>> calls = {
      {"frame", "2026-02-30 00:00:00"}, {"frame", "2026-13-01 00:00:00"}, {"frame", "2026-12-31 24:00:00"},
      {"frame", "2026-12-31 23:60:00"}, {"frame", "2026-12-31 23:59:60"}, {"frame", "2026-12-31T23:59:41"},
      {"frame", "2026-1-31 23:59:41"},  {"frame", "2026-12-31 23:59:41 "}, {"frame", "yesterday"},
      {"frame", ""},                    {"frame"},                          {"frame", "2026-12-31", "23:59:41"},
      {"frame", "--rate", "2026-12-31 23:59:41"},
  };
  for (const auto& call : calls) {
    cli_test::Result r = RunCli(call);
    std::string shown = call.size() > 1 ? call[1] : "(none)";
    EXPECT_EQ(r.status, 2) << shown;
    EXPECT_EQ(r.out, "") << shown;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << shown << ": " << r.err;
    EXPECT_EQ(r.err.back(), '\n') << shown;
  }
}

TEST(FrameCommand, HelpGoesToStdout) {
  cli_test::Result r = RunCli({"frame", "--help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("usage: tempiola-cli frame"), std::string::npos) << r.out;
}

}  // namespace
