// --offset on frame, render and transmit, and transmit's --ntp: the time
// sent moved by a fixed amount or to a server's time.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/cli/cli_runner.h"
#include "tests/scratch_dir.h"

namespace {

using cli_test::RunCli;

class TimeOffset : public ScratchDir {};

// A moved time is the time itself: the same frame, the same sound.
TEST_F(TimeOffset, FrameAndRenderSendTheMovedTime) {
  struct Case {
    std::vector<std::string> moved, same;
  };
  const Case frames[] = {
      {{"frame", "--offset", "20", "2026-12-31 23:59:21"}, {"frame", "2026-12-31 23:59:41"}},
      {{"frame", "--offset=-0.5", "--station", "dcf77", "2026-03-29 01:00:00"},
       {"frame", "--station", "dcf77", "2026-03-29 00:59:59"}},
      {{"frame", "--station", "wwvb", "--offset", "+86400", "2026-03-07 10:00:00"},
       {"frame", "--station", "wwvb", "2026-03-08 10:00:00"}},
  };
  for (const Case& c : frames) {
    cli_test::Result moved = RunCli(c.moved, {"TZ=UTC0"});
    ASSERT_EQ(moved.status, 0) << moved.err;
    EXPECT_EQ(moved.out, RunCli(c.same, {"TZ=UTC0"}).out) << c.moved[2];
  }
  const std::string moved = dir_ + "/moved.wav", same = dir_ + "/same.wav";
  ASSERT_EQ(RunCli({"render", "--station", "msf", "--offset", "-3600", "--start", "2026-10-25 01:59:00", "--frames",
                    "1", moved}, {"TZ=UTC0"}).status, 0);
  ASSERT_EQ(RunCli({"render", "--station", "msf", "--start", "2026-10-25 00:59:00", "--frames", "1", same},
                   {"TZ=UTC0"}).status, 0);
  EXPECT_TRUE(cli_test::Slurp(moved) == cli_test::Slurp(same));
}

TEST_F(TimeOffset, BadOffsetsAndAFailingServerStartNothing) {
  const std::string file = dir_ + "/bad.wav";
  const std::vector<std::vector<std::string>> calls = {
      {"frame", "--offset", "86400.5", "2026-12-31 23:59:41"},
      {"frame", "--offset", "-86401", "2026-12-31 23:59:41"},
      {"frame", "--offset", "1e3", "2026-12-31 23:59:41"},
      {"frame", "--offset", "", "2026-12-31 23:59:41"},
      {"frame", "--offset", ".", "2026-12-31 23:59:41"},
      {"frame", "--offset", "0.1234567891", "2026-12-31 23:59:41"},
      {"render", "--offset", "0.5", "--start", "2026-12-31 23:59:40", "--frames", "1", file},
      {"render", "--offset", "1", "--start", "2026-12-31 23:59:40", "--frames", "1", file},  // off a boundary
      {"transmit", "--minutes", "1", "--offset", "two"},
      {"transmit", "--minutes", "1", "--port", "123"},  // a port without a server
      {"transmit", "--minutes", "1", "--ntp", "127.0.0.1", "--port", "0"},
      {"transmit", "--minutes", "1", "--station", "nope"},
      {"stations", "extra"},
  };
  for (const auto& call : calls) {
    cli_test::Result r = RunCli(call);
    EXPECT_EQ(r.status, 2) << call[0] << " " << call[2];
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(r.out, "");
  }
  EXPECT_EQ(EntriesInDir(), 0u);
  // The server cannot be asked: the reason, status 1, and no countdown.
  cli_test::Result r = RunCli({"transmit", "--minutes", "1", "--ntp", "bad..name"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("bad..name"), std::string::npos) << r.err;
}

}  // namespace
