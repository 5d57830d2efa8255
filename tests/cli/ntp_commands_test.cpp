// tempiola-cli query / calibrate, run as the real program.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "platform/resolver.h"
#include "platform/system_message.h"
#include "tests/ntp/fake_ntp_server.h"
#include "tests/platform/private_system_bus.h"
#include "tests/cli_command.h"

namespace {

struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
};

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// withoutClockRight: the program starts without CAP_SYS_TIME even as root.
CliRun RunCli(std::vector<std::string> args, bool withoutClockRight = false) {
  char dirPattern[] = "/tmp/tempiola-cli-XXXXXX";
  const std::string dir = mkdtemp(dirPattern);
  const std::string outPath = dir + "/out", errPath = dir + "/err";
  const std::vector<std::string> cli = test_support::CliCommand(TEMPIOLA_CLI_PATH);
  args.insert(args.begin(), cli.begin(), cli.end());
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    // Only system calls between fork and exec: the parent has threads.
    if (withoutClockRight && prctl(PR_CAPBSET_DROP, CAP_SYS_TIME, 0, 0, 0) != 0 && geteuid() == 0) _exit(126);
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(out, 1);
    dup2(err, 2);
    execv(argv[0], argv.data());
    _exit(127);
  }
  CliRun run;
  int status = 0;
  if (waitpid(pid, &status, 0) == pid && WIFEXITED(status)) run.status = WEXITSTATUS(status);
  run.out = Slurp(outPath);
  run.err = Slurp(errPath);
  std::remove(outPath.c_str());
  std::remove(errPath.c_str());
  rmdir(dir.c_str());
  return run;
}

// A reply from a server whose clock is the given whole seconds ahead of
// the request's, answering at once.
Bytes AheadReply(const Bytes& request, std::uint32_t seconds) {
  Bytes reply = ServerReply(request);
  for (size_t field : {32u, 40u}) {
    std::uint32_t s = 0;
    for (size_t i = 0; i < 4; ++i) s = s << 8 | request[40 + i];
    s += seconds;
    for (size_t i = 0; i < 4; ++i) reply[field + i] = static_cast<unsigned char>(s >> (24 - 8 * i));
    std::copy(request.begin() + 44, request.begin() + 48, reply.begin() + field + 4);
  }
  return reply;
}

// The server of ServerReply is 0.5 s ahead and holds a request 10 ms, so
// the offset is its lead less half the delay, however long the round trip
// took on a busy machine; the delay is the round trip less the 10 ms.
void ExpectResultLine(const std::string& out) {
  std::smatch m;
  ASSERT_TRUE(std::regex_match(out, m, std::regex(R"(offset (-?\d+\.\d{6}) delay (-?\d+\.\d{6}) stratum 2\n)"))) << out;
  const double offset = std::stod(m[1]), delay = std::stod(m[2]);
  EXPECT_NEAR(offset + delay / 2, 0.5, 2e-6) << out;
  EXPECT_GE(delay, -0.01 - 1e-6) << out;
  EXPECT_LT(delay, 5.0) << out;  // within the query's time-out
}

TEST(NtpCommandsTest, QueryPrintsOffsetDelayAndStratum) {
  FakeNtpServer server([](const Bytes& request) { return ServerReply(request); });
  const CliRun run = RunCli({"query", "127.0.0.1", "--port", std::to_string(server.port())});
  EXPECT_EQ(run.status, 0) << run.err;
  ExpectResultLine(run.out);
  EXPECT_EQ(run.err, "");
}

TEST(NtpCommandsTest, FailedQueryGivesTheReasonAndStatusOne) {
  addrinfo* list = nullptr;
  std::string resolverText;
  platform::SystemErrorMessage(
      platform::GetAddressInfo("bad..name", "123", 0, AF_UNSPEC, SOCK_DGRAM, 0, &list), resolverText);
  ASSERT_NE(resolverText, "");
  CliRun run = RunCli({"query", "bad..name"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  if (test_support::CliIsWindowsBuild()) {
    // The reason is the Windows resolver's own text.
    EXPECT_TRUE(std::regex_match(run.err, std::regex("tempiola-cli: bad\\.\\.name: [^\n]+\n"))) << run.err;
  } else {
    EXPECT_EQ(run.err, "tempiola-cli: bad..name: " + resolverText + "\n");
  }

  FakeNtpServer kissOfDeath([](const Bytes& request) {
    Bytes reply = ServerReply(request);
    reply[1] = 0;
    return reply;
  });
  run = RunCli({"calibrate", "--port=" + std::to_string(kissOfDeath.port()), "127.0.0.1"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");  // no result, no clock line
  EXPECT_NE(run.err.find("kiss-o'-death"), std::string::npos) << run.err;

  // A server that never filled its receive time would put the clock years off.
  FakeNtpServer unfilled([](const Bytes& request) {
    Bytes reply = ServerReply(request);
    std::fill(reply.begin() + 32, reply.begin() + 40, 0);
    return reply;
  });
  run = RunCli({"query", "127.0.0.1", "--port", std::to_string(unfilled.port())});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("no receive time"), std::string::npos) << run.err;

  // A server more than a day off is no time to send: the clock is set first.
  FakeNtpServer farAhead([](const Bytes& request) { return AheadReply(request, 86400 + 60); });
  run = RunCli({"transmit", "--minutes", "1", "--ntp", "127.0.0.1", "--port", std::to_string(farAhead.port())});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out.find("sending"), std::string::npos) << run.out;
  EXPECT_NE(run.err.find("calibrate"), std::string::npos) << run.err;
}

TEST(NtpCommandsTest, BadArgumentsExitWithTwo) {
  const std::vector<std::vector<std::string>> bad = {
      {"query"},
      {"query", "a.example", "b.example"},
      {"query", "127.0.0.1", "--port", "0"},
      {"query", "127.0.0.1", "--port", "65536"},
      {"calibrate", "127.0.0.1", "--port", "12x"},
      {"calibrate", "127.0.0.1", "--port"},
      {"calibrate", "127.0.0.1", "--verbose"},
  };
  for (const auto& args : bad) {
    const CliRun run = RunCli(args);
    EXPECT_EQ(run.status, 2) << args.back();
    EXPECT_NE(run.err, "") << args.back();
    EXPECT_EQ(run.out, "") << args.back();
  }
}

TEST(NtpCommandsTest, CalibrateWithoutTheClockRightGoesThroughTheTimeService) {
  FakeNtpServer server([](const Bytes& request) { return ServerReply(request); });
  const std::vector<std::string> calibrate = {"calibrate", "127.0.0.1", "--port", std::to_string(server.port())};
  PrivateSystemBus bus;
  ASSERT_TRUE(bus.Up());
  CliRun run = RunCli(calibrate, true);  // no service on the bus
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_EQ(run.err.rfind("校时 失败！ ", 0), 0u) << run.err;
  EXPECT_GT(run.err.size(), std::string("校时 失败！ \n").size()) << "with the bus's reason";

  ASSERT_TRUE(bus.StartTimeService("ntp"));
  run = RunCli(calibrate, true);
  EXPECT_EQ(run.status, 1);
  ExpectResultLine(run.out);
  EXPECT_EQ(run.err, "校时 失败！ Automatic time synchronization is enabled\n");

  ASSERT_TRUE(bus.StartTimeService("allow"));
  run = RunCli(calibrate, true);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.substr(run.out.find('\n') + 1), "校时 成功！\n");
  // The service was asked to move the clock by the server's half second.
  long long offset = 0;
  ASSERT_EQ(std::sscanf(bus.Calls().c_str(), "%*s %*d %*d %*d\n%lld 1 1 1", &offset), 1) << bus.Calls();
  EXPECT_NEAR(offset, 505000, 50000);
}

// Windows sets the clock itself, under the privilege the program enables
// around the call; there is no time service to fall back on. Wine moves no
// clock by half a second or more (and the program runs without the right
// to set the host's), so the refusal is a clock five seconds off and the
// success one that is right already.
TEST(NtpCommandsTest, OnWindowsCalibrateSetsTheClockUnderThePrivilegeOrSaysWhyNot) {
  if (!test_support::CliIsWindowsBuild()) GTEST_SKIP() << "the Linux build's way is the time service's, above";
  for (std::uint32_t ahead : {5u, 0u}) {
    FakeNtpServer server([ahead](const Bytes& request) { return AheadReply(request, ahead); });
    const CliRun run = RunCli({"calibrate", "127.0.0.1", "--port", std::to_string(server.port())}, true);
    std::smatch m;
    ASSERT_TRUE(std::regex_search(run.out, m, std::regex(R"(^offset (-?\d+\.\d{6}) delay (-?\d+\.\d{6}) )")))
        << run.out;
    // The reply leaves at once: the offset is the lead less half the round trip.
    EXPECT_NEAR(std::stod(m[1]) + std::stod(m[2]) / 2, ahead, 2e-6) << run.out;
    if (ahead != 0) {
      EXPECT_EQ(run.status, 1);
      EXPECT_TRUE(std::regex_match(run.err, std::regex("校时 失败！ [^\n]+\n"))) << run.err;
    } else {
      EXPECT_EQ(run.status, 0) << run.err;
      EXPECT_EQ(run.out.substr(run.out.find('\n') + 1), "校时 成功！\n");
    }
  }
}

}  // namespace
