// Listening through the real sound stack: tempiola-cli transmits into a
// private PulseAudio's null sink while another tempiola-cli listens to the
// sink's monitor, the server's default input.
#include <gtest/gtest.h>

#include <csignal>
#include <ctime>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "platform/local_time.h"
#include "tests/cli_command.h"
#include "tests/e2e/sound_server.h"

namespace {

std::vector<std::string> Cli(std::vector<std::string> args) {
  std::vector<std::string> command = test_support::CliCommand(TEMPIOLA_CLI);
  command.insert(command.end(), args.begin(), args.end());
  return command;
}

// The minutes sent are the ones heard, each with its minute mark on the
// system clock's minute; Ctrl-C then ends the listening at once.
TEST(SoundListen, ATransmissionIsHeardMinuteByMinuteOnTheSystemClock) {
  e2e::PrivateSoundServer server;
  std::string error;
  ASSERT_TRUE(server.Start(error)) << error;
  e2e::Child listen;
  ASSERT_TRUE(listen.Spawn(Cli({"listen", "--station", "dcf77"}), "", (server.dir() / "listen.err").string()));
  e2e::Child transmit;
  ASSERT_TRUE(transmit.Spawn(Cli({"transmit", "--station", "dcf77", "--minutes", "2"}),
                             (server.dir() / "transmit.out").string(), (server.dir() / "transmit.err").string()));
  ASSERT_EQ(transmit.Wait(std::chrono::seconds(240)), 0) << e2e::ReadFile(server.dir() / "transmit.err");
  const platform::Time64 ended = platform::CurrentTime();

  // The second minute's frame is whole a few seconds after the end.
  static const std::regex line(
      "[0-9.]+ DCF77 ([0-9]{4})-([0-9]{2})-([0-9]{2}) ([0-9]{2}):([0-9]{2}) (CET|CEST) [A-Z][a-z]{2} summer=(yes|no) "
      "announce=[-A-Za-z,]+ parity=ok mark=([-+][0-9.]+)ms");
  std::vector<platform::Time64> minutes;
  std::string heard;
  while (minutes.size() < 2) {
    std::optional<std::string> text = listen.ReadLine();
    if (!text) break;
    heard += *text + "\n";
    std::smatch m;
    ASSERT_TRUE(std::regex_match(*text, m, line)) << *text;
    std::tm civil{};
    civil.tm_year = std::stoi(m[1]) - 1900;
    civil.tm_mon = std::stoi(m[2]) - 1;
    civil.tm_mday = std::stoi(m[3]);
    civil.tm_hour = std::stoi(m[4]);
    civil.tm_min = std::stoi(m[5]);
    minutes.push_back(::timegm(&civil) - (m[6] == "CEST" ? 7200 : 3600));
    EXPECT_EQ(m[7], m[6] == "CEST" ? "yes" : "no");
    EXPECT_LE(std::abs(std::stod(m[8])), 20.0) << *text;
  }
  SCOPED_TRACE("listen printed:\n" + heard);
  // The transmission ended on the second minute's mark.
  ASSERT_EQ(minutes.size(), 2u);
  EXPECT_EQ(minutes[1] - minutes[0], 60);
  EXPECT_LE(std::abs(minutes[1] - ended), 5);

  listen.Signal(SIGINT);
  EXPECT_EQ(listen.Wait(std::chrono::seconds(10)), 0) << e2e::ReadFile(server.dir() / "listen.err");
}

}  // namespace
