#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

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

// The same UTC minute named in the local time of different zones gives
// the station's documented frame: the computer's zone only says which
// instant is meant. The zones are fixed offsets written as both systems'
// runtimes read TZ.
TEST(FrameCommand, OtherStationsPrintTheDocumentedFrameOfTheMinuteInAnyZone) {
  struct Case {
    const char* station;
    const char* zone;
    const char* time;
    const char* frame;
  };
  const Case cases[] = {
      {"jjy40", "JST-9", "2004-04-01 17:25:59",
       "M01000101M 000100111M 000001001M 001000010M 000000100M 100000000M\n"},
      {"jjy60", "UTC0", "2004-04-01 08:25:00",
       "M01000101M 000100111M 000001001M 001000010M 000000100M 100000000M\n"},
      {"wwvb", "MST7", "2026-03-08 02:41:30",
       "M10000001M 000001001M 000000110M 011100101M 000000010M 011000010M\n"},
      {"dcf77", "JST-9", "2026-03-29 09:59:00",
       "0000000000 0000001100 1000000001 1000001001 0111111000 011001001M\n"},
      {"msf", "EST5", "2026-10-24 19:59:10",
       "M  00 00 00 00 00 00 00 00 00\n00 00 00 00 00 00 00 00 00 10\n00 00 10 10 00 10 00 00 00 00\n"
       "10 00 00 10 00 10 00 00 00 00\n00 00 00 00 10 00 00 00 00 00\n00 00 00 11 10 11 11 10 10 00\n"},
  };
  for (const Case& c : cases) {
    cli_test::Result r = RunCli({"frame", "--station", c.station, c.time}, {"TZ=" + std::string(c.zone)});
    EXPECT_EQ(r.status, 0) << c.station << ": " << r.err;
    EXPECT_EQ(r.out, c.frame) << c.station << " in " << c.zone;
  }
}

// The list names every station in the table's order, by the name that
// --station takes in any case.
TEST(FrameCommand, StationsAreListedAndNamedInAnyCase) {
  cli_test::Result r = RunCli({"stations"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> names;
  std::istringstream lines(r.out);
  for (std::string line; std::getline(lines, line);) names.push_back(line.substr(0, line.find(' ')));
  EXPECT_EQ(names, (std::vector<std::string>{"bpc", "jjy40", "jjy60", "wwvb", "dcf77", "msf"}));
  EXPECT_NE(r.out.find("15500.000 Hz"), std::string::npos) << r.out;
  EXPECT_EQ(RunCli({"frame", "--station", "DCF77", "2026-03-29 01:59:00"}, {"TZ=UTC0"}).out,
            RunCli({"frame", "--station", "dcf77", "2026-03-29 01:59:00"}, {"TZ=UTC0"}).out);
  // A local time that the zone skips names no instant.
  if (!test_support::CliIsWindowsBuild()) {
    cli_test::Result skipped =
        RunCli({"frame", "--station", "msf", "2026-03-29 02:30:00"}, {"TZ=CET-1CEST,M3.5.0,M10.5.0/3"});
    EXPECT_EQ(skipped.status, 2);
    EXPECT_NE(skipped.err.find("no such local time"), std::string::npos) << skipped.err;
    // BPC's frame too: the transmitter never sends it.
    skipped = RunCli({"frame", "2026-03-29 02:30:01"}, {"TZ=CET-1CEST,M3.5.0,M10.5.0/3"});
    EXPECT_EQ(skipped.status, 2);
    EXPECT_NE(skipped.err.find("no such local time"), std::string::npos) << skipped.err;
  }
}

// Before 1970 no system's calendar holds a time: given as such or reached
// with an offset, in any zone, the same reason and nothing sent.
TEST(FrameCommand, InstantsBefore1970AreRefusedAlikeHoweverReached) {
  struct Case {
    const char* zone;
    std::vector<std::string> args;
  };
  const Case cases[] = {
      {"UTC0", {"frame", "--station", "dcf77", "1969-12-31 23:59:59"}},
      {"UTC0", {"frame", "--station", "dcf77", "--offset", "-1", "1970-01-01 00:00:00"}},
      {"UTC0", {"frame", "1969-12-31 23:59:41"}},
      {"UTC0", {"frame", "--offset", "-1", "1970-01-01 00:00:00"}},
      {"CST-8", {"frame", "--station", "wwvb", "1970-01-01 07:59:59"}},
      {"CST-8", {"frame", "1900-01-01 00:00:01"}},
  };
  for (const Case& c : cases) {
    cli_test::Result r = RunCli(c.args, {"TZ=" + std::string(c.zone)});
    EXPECT_EQ(r.status, 2) << c.args.back();
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("before 1970-01-01 00:00 UTC"), std::string::npos) << r.err;
  }
  cli_test::Result first = RunCli({"frame", "--station", "dcf77", "1970-01-01 08:00:00"}, {"TZ=CST-8"});
  EXPECT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(first.out, RunCli({"frame", "--station", "dcf77", "1970-01-01 00:00:00"}, {"TZ=UTC0"}).out);
}

TEST(FrameCommand, BadInputIsOneLineAndStatusTwo) {
  const std::vector<std::vector<std::string>> calls = {
      {"frame", "2026-02-30 00:00:00"}, {"frame", "2026-13-01 00:00:00"}, {"frame", "2026-12-31 24:00:00"},
      {"frame", "2026-12-31 23:60:00"}, {"frame", "2026-12-31 23:59:60"}, {"frame", "2026-12-31T23:59:41"},
      {"frame", "2026-1-31 23:59:41"},  {"frame", "2026-12-31 23:59:41 "}, {"frame", "yesterday"},
      {"frame", ""},                    {"frame"},                          {"frame", "2026-12-31", "23:59:41"},
      {"frame", "--rate", "2026-12-31 23:59:41"},
      {"frame", "--station", "dcf", "2026-12-31 23:59:41"},
      {"frame", "2026-12-31 23:59:41", "--station"},
      {"frame", "--station", "msf", "2026-02-29 00:00:00"},
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
