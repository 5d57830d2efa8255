// The transmitter through the real sound stack: tempiola-cli plays into a
// private PulseAudio's null sink, parec records the sink's monitor, and the
// recording is received back into frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <ctime>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "platform/local_time.h"
#include "platform/system_clock.h"
#include "signal/station_table.h"
#include "tests/cli_command.h"
#include "tests/e2e/sound_server.h"
#include "tests/ntp/fake_ntp_server.h"

namespace {

using e2e::Child;
using platform::Time64;

const Station& Bpc() { return *FindStation("bpc"); }

constexpr unsigned kRate = 44100;
const double kSlackMs = e2e::SecondSlackMs(test_support::CliIsWindowsBuild());

// The instant within a few seconds of now whose local time of day reads
// hh:mm:ss (a line's time prefix names no date).
bool InstantOf(int hh, int mm, int ss, Time64& out) {
  Time64 now = platform::CurrentTime();
  for (Time64 t = now - 5; t <= now + 2; ++t) {
    platform::CivilTime f = platform::ToLocalTime(t);
    if (f.hour == hh && f.minute == mm && f.second == ss) {
      out = t;
      return true;
    }
  }
  return false;
}

struct Line {
  int hh, mm, ss;
  std::string text;
};

// The command's count of what it sent, before its sample clock's figure.
constexpr const char* kSentLine = "frames sent whole and on time: ";

bool ParseLine(const std::string& s, Line& line) {
  static const std::regex pattern("^(\\d\\d):(\\d\\d):(\\d\\d)  (.*)$");
  std::smatch m;
  if (!std::regex_match(s, m, pattern)) return false;
  line = {std::stoi(m[1]), std::stoi(m[2]), std::stoi(m[3]), m[4]};
  return true;
}

class SoundTransmit : public ::testing::Test {
 protected:
  void SetUp() override {
    // Only matters in the sanitizer build: full stacks, so that the leaks
    // of ALSA's plugins can be told apart (and suppressed) from ours.
    ::setenv("ASAN_OPTIONS", "fast_unwind_on_malloc=0", 1);
    ::setenv("LSAN_OPTIONS", "print_suppressions=0:suppressions=" TEMPIOLA_SOURCE_DIR "/tests/lsan.supp", 1);
    std::string error;
    ASSERT_TRUE(server.Start(error)) << error;
  }
  // tempiola-cli transmit with the arguments, its errors kept for Errors().
  bool Transmit(Child& cli, const std::vector<std::string>& args) {
    std::vector<std::string> command = test_support::CliCommand(TEMPIOLA_CLI);
    command.push_back("transmit");
    command.insert(command.end(), args.begin(), args.end());
    return cli.Spawn(command, "", (server.dir() / "cli.err").string());
  }
  std::string Errors() const { return e2e::ReadFile(server.dir() / "cli.err"); }

  e2e::PrivateSoundServer server;
  e2e::SinkRecording recording{server, kRate};
};

TEST_F(SoundTransmit, OneMinuteOnTheDefaultDeviceIsReceivedFrameByFrame) {
  ASSERT_TRUE(recording.Start());

  Child cli;
  ASSERT_TRUE(Transmit(cli, {"--minutes", "1"}));
  std::vector<Line> lines;
  std::string driftLine, sentLine;
  Time64 firstFrameBegins = 0;
  int correctionLines = 0;
  while (auto text = cli.ReadLine()) {
    ASSERT_TRUE(driftLine.empty()) << "after the clock's figure: " << *text;
    if (text->rfind(kSentLine, 0) == 0) {
      sentLine = *text;
      continue;
    }
    if (text->rfind("sample clock ", 0) == 0 || text->rfind("the sound output stalled: ", 0) == 0) {
      driftLine = *text;
      continue;
    }
    ASSERT_TRUE(sentLine.empty()) << "after the count: " << *text;
    Line line;
    ASSERT_TRUE(ParseLine(*text, line)) << *text;
    // The correction for the sink's sample clock, between the progress lines.
    if (line.text.rfind("声卡采样时钟 ", 0) == 0) {
      ++correctionLines;
      continue;
    }
    if (line.text == "正在发波 1") {
      ASSERT_TRUE(InstantOf(line.hh, line.mm, line.ss, firstFrameBegins));
    }
    lines.push_back(line);
  }
  ASSERT_EQ(cli.Wait(std::chrono::seconds(30)), 0) << Errors();
  // Frames 1 to 3 played whole; the fourth had begun.
  EXPECT_EQ(sentLine, std::string(kSentLine) + "3; stalls: 0");
  recording.Stop();

  std::string log;
  for (const Line& l : lines) log += "\n" + std::to_string(l.hh) + ":" + std::to_string(l.mm) + ":" + std::to_string(l.ss) + "  " + l.text;
  SCOPED_TRACE("the command printed:" + log);

  // The log: a countdown ending in 1, frames 1 to 4 begun (frame 4 begins
  // when frame 3 has played whole), then the stop.
  ASSERT_GE(lines.size(), 7u);
  std::vector<std::string> tail;
  for (size_t i = lines.size() - 5; i < lines.size(); ++i) tail.push_back(lines[i].text);
  EXPECT_EQ(tail, (std::vector<std::string>{"正在发波 1", "正在发波 2", "正在发波 3", "正在发波 4", "停止发波"}));
  for (size_t i = 0; i + 5 < lines.size(); ++i) {
    EXPECT_EQ(lines[i].text, "等待 " + std::to_string(lines.size() - 5 - i) + " 秒开始发波");
  }
  // Last, how the device's sample clock ran against the system clock over
  // the minute: the null sink runs on the machine's own clock, so a figure
  // far off would be a broken measurement. Wine, though, reports the ends of
  // buffers a tenth of a second late when the machine is busy, which the
  // program honestly calls a stall (the frames heard are judged below).
  const bool wineStalled =
      test_support::CliIsWindowsBuild() && driftLine.rfind("the sound output stalled: ", 0) == 0;
  std::smatch drift;
  if (!wineStalled) {
    ASSERT_TRUE(std::regex_match(driftLine, drift,
                                 std::regex("sample clock ([-+][0-9.]+) ppm against the system clock \\(over ([0-9]+) "
                                            "s\\): (tone and seconds corrected for [-+][0-9.]+ ppm|not corrected)")))
        << driftLine;
    EXPECT_LT(std::abs(std::stod(drift[1])), 1000.0) << driftLine;
    EXPECT_GE(std::stoi(drift[2]), 55) << driftLine;
    // Linux's sound system tells when the samples play: the correction is
    // taken into use and said.
    if (!test_support::CliIsWindowsBuild()) {
      EXPECT_NE(drift[3], "not corrected");
      EXPECT_GE(correctionLines, 1);
    }
  }
  // Transmission begins on a frame boundary.
  ASSERT_NE(firstFrameBegins, 0);
  EXPECT_EQ(platform::ToLocalTime(firstFrameBegins).second % 20, 0);

  std::string heard;
  const e2e::Reception reception = recording.Receive(Bpc(), heard);
  SCOPED_TRACE(heard);
  EXPECT_EQ(reception.brokenFrames, 0);
  EXPECT_LE(reception.worstSecondMs, kSlackMs);
  ASSERT_EQ(reception.frames.size(), 3u);
  // The first frame follows the silence of the paused device directly (the
  // reference second, the tone throughout, then second 1's silence; the
  // decoder places the frame along a line through its seconds, within a
  // second's slack of that), and the frames follow one another without a
  // gap between the buffers.
  EXPECT_NEAR(reception.firstSilenceMs - 1000, reception.leadSilenceMs, 5.0);
  EXPECT_NEAR(reception.frames[0].startMs, reception.leadSilenceMs, kSlackMs);
  // Between them lie 20 s of the sink's clock (some 4 ms more than 20 s of
  // samples at its 200 ppm) and, on Linux, up to 10 ms the transmitter adds
  // or drops to put a piece on its second; Wine's mixing into the sound
  // server drops or adds a few milliseconds at a buffer's start (seen: 6 to
  // 20 ms, on an idle machine too), and more when busy, within the slack.
  // A gap of the transmitter's own, a buffer's worth, still shows.
  const double spacingMs = std::max(25.0, kSlackMs);
  for (size_t k = 0; k < reception.frames.size(); ++k) {
    SCOPED_TRACE("frame " + std::to_string(k + 1));
    EXPECT_EQ(reception.frames[k].time, e2e::BpcTime(firstFrameBegins + 20 * static_cast<Time64>(k)));
    if (k > 0) {
      EXPECT_NEAR(reception.frames[k].startMs - reception.frames[k - 1].startMs, 20000.0, spacingMs);
    }
  }
}

// A minute station through the same stack: MSF, whose seconds can hold two
// silences, begins on a minute and its whole first frame is heard back as
// the frame of that minute.
TEST_F(SoundTransmit, AMinuteStationIsReceivedAsTheFrameOfItsMinute) {
  const Station& msf = *FindStation("msf");
  ASSERT_TRUE(recording.Start());
  Child cli;
  ASSERT_TRUE(Transmit(cli, {"--station", "msf", "--minutes", "1"}));
  Time64 firstFrameBegins = 0;
  std::string last;
  while (auto text = cli.ReadLine()) {
    Line line;
    if (!ParseLine(*text, line)) continue;  // the sample clock's figure
    if (line.text == "正在发波 1") {
      ASSERT_TRUE(InstantOf(line.hh, line.mm, line.ss, firstFrameBegins));
    }
    last = line.text;
  }
  ASSERT_EQ(cli.Wait(std::chrono::seconds(30)), 0) << Errors();
  recording.Stop();
  EXPECT_EQ(last, "停止发波");
  ASSERT_NE(firstFrameBegins, 0);
  EXPECT_EQ(firstFrameBegins % 60, 0);

  std::string heard;
  const e2e::Reception reception = recording.Receive(msf, heard);
  SCOPED_TRACE(heard);
  EXPECT_EQ(reception.brokenFrames, 0);
  ASSERT_EQ(reception.frames.size(), 1u);
  EXPECT_EQ(reception.frames[0].time, e2e::SentTime(msf, firstFrameBegins));
  // The tone first comes on where the minute marker's silence ends; the
  // minute the frame carries begins a minute after the frame, a minute of
  // the sink's clock (some 12 ms more at its 200 ppm).
  StationFrame sent{};
  msf.encode(firstFrameBegins, sent);
  const double frameBeginsMs = reception.leadSilenceMs - msf.shapes[sent[0]].ms[0];
  EXPECT_NEAR(reception.frames[0].startMs - 60000, frameBeginsMs, std::max(25.0, kSlackMs));
}

// A server whose clock runs 3723.25 s ahead: the transmission sends its
// time, from the second that its clock begins, which the computer's reads
// as .75 into a second.
TEST_F(SoundTransmit, WithAServersTimeTheFramesCarryItFromItsSecond) {
  constexpr std::int64_t kAheadNs = 3723250000000;
  FakeNtpServer ntp([](const Bytes& request) -> std::optional<Bytes> {
    Bytes reply = ServerReply(request);
    const NtpTimestamp now = NtpTimestamp::FromUnixNanoseconds(platform::GetSystemTimeNanoseconds() + kAheadNs);
    now.ToNetwork(reply.data() + 32);
    now.ToNetwork(reply.data() + 40);
    return reply;
  });
  ASSERT_TRUE(recording.Start());
  Child cli;
  ASSERT_TRUE(Transmit(cli, {"--minutes", "1", "--ntp", "127.0.0.1", "--port", std::to_string(ntp.port())}));
  std::vector<std::string> said;
  Time64 firstFrameBegins = 0;
  while (auto text = cli.ReadLine()) {
    said.push_back(*text);
    Line line;
    if (ParseLine(*text, line) && line.text == "正在发波 1") {
      ASSERT_TRUE(InstantOf(line.hh, line.mm, line.ss, firstFrameBegins));
    }
  }
  ASSERT_EQ(cli.Wait(std::chrono::seconds(30)), 0) << Errors();
  recording.Stop();

  ASSERT_GE(said.size(), 2u);
  std::smatch m;
  // The offset lies within half the round trip of the truth (the server's
  // times are taken at its one instant), and the clocks' resolution.
  ASSERT_TRUE(std::regex_match(said[0], m, std::regex("offset ([0-9.]+) delay ([0-9.]+) stratum 2"))) << said[0];
  const double bound = std::stod(m[2]) / 2 + 0.001;
  EXPECT_NEAR(std::stod(m[1]), 3723.25, bound);
  ASSERT_TRUE(std::regex_match(said[1], m, std::regex("sending the time moved by \\+([0-9.]+) s"))) << said[1];
  EXPECT_NEAR(std::stod(m[1]), 3723.25, bound);
  // Begun at .75 of the computer's second, the server's boundary second.
  ASSERT_NE(firstFrameBegins, 0);
  const Time64 serverBoundary = firstFrameBegins + 3724;
  EXPECT_EQ(platform::ToLocalTime(serverBoundary).second % 20, 0);

  std::string heard;
  const e2e::Reception reception = recording.Receive(Bpc(), heard);
  SCOPED_TRACE(heard);
  EXPECT_LE(reception.worstSecondMs, kSlackMs);
  ASSERT_EQ(reception.frames.size(), 3u);
  for (size_t k = 0; k < reception.frames.size(); ++k) {
    EXPECT_EQ(reception.frames[k].time, e2e::BpcTime(serverBoundary + 20 * static_cast<Time64>(k))) << k;
  }
}

// The sound server frozen for 3 s during the second frame, then let go:
// the transmission counts down again and every frame heard after it
// carries the time of the boundary it begins on.
TEST_F(SoundTransmit, AfterTheOutputStallsTheFramesAreBackOnTheirBoundaries) {
  ASSERT_TRUE(recording.Start());
  Child cli;
  ASSERT_TRUE(Transmit(cli, {"--minutes", "2"}));
  std::vector<std::string> texts;
  Time64 againBegins = 0;
  bool frozen = false, countedDownAgain = false;
  while (auto text = cli.ReadLine()) {
    Line line;
    if (!ParseLine(*text, line)) continue;
    texts.push_back(line.text);
    if (line.text == "正在发波 2" && !frozen) {
      frozen = true;
      server.Signal(SIGSTOP);
      std::this_thread::sleep_for(std::chrono::seconds(3));
      server.Signal(SIGCONT);
    }
    if (frozen && line.text.rfind("等待 ", 0) == 0) countedDownAgain = true;
    if (countedDownAgain && againBegins == 0 && line.text.rfind("正在发波 ", 0) == 0) {
      ASSERT_TRUE(InstantOf(line.hh, line.mm, line.ss, againBegins));
    }
  }
  ASSERT_EQ(cli.Wait(std::chrono::seconds(30)), 0) << Errors();
  recording.Stop();
  std::string log;
  for (const std::string& t : texts) log += "\n" + t;
  SCOPED_TRACE("the command printed:" + log);
  ASSERT_TRUE(countedDownAgain);
  ASSERT_NE(againBegins, 0);
  EXPECT_EQ(platform::ToLocalTime(againBegins).second % 20, 0);

  std::string heard;
  const e2e::Reception reception = recording.Receive(Bpc(), heard);
  SCOPED_TRACE(heard);
  // The frame begun again is heard, and every one after it carries the time
  // of the boundary it begins on. A busy machine may stall the output again
  // and so drop frames; the recording goes on in real time meanwhile, so a
  // frame's place in it tells its boundary.
  std::size_t k = 0;
  while (k < reception.frames.size() && reception.frames[k].time != e2e::BpcTime(againBegins)) ++k;
  ASSERT_LT(k, reception.frames.size()) << "the frame begun again is not heard";
  ASSERT_GE(reception.frames.size() - k, 2u);
  for (std::size_t i = k + 1; i < reception.frames.size(); ++i) {
    const double sinceMs = reception.frames[i].startMs - reception.frames[k].startMs;
    const auto frames = static_cast<Time64>(std::lround(sinceMs / 20000));
    EXPECT_NEAR(sinceMs, 20000.0 * static_cast<double>(frames), 100) << i;
    EXPECT_EQ(reception.frames[i].time, e2e::BpcTime(againBegins + 20 * frames)) << i;
  }
}

// An output that stalls for a moment again and again never plays a frame
// whole on its seconds: each stall is silenced and said, and the command
// fails instead of reporting a transmission that never kept time.
TEST_F(SoundTransmit, AnOutputThatKeepsStallingSendsNothingAndFails) {
  Child cli;
  ASSERT_TRUE(Transmit(cli, {"--minutes", "1"}));
  // A suspended sink plays nothing meanwhile and does not catch up after.
  auto suspend = [&](const char* on) {
    Child pactl;
    const std::string out = (server.dir() / "pactl.out").string();
    if (pactl.Spawn({"pactl", "suspend-sink", e2e::PrivateSoundServer::kSink, on}, out, out)) {
      pactl.Wait(std::chrono::seconds(10));
    }
  };
  std::atomic<bool> done{false};
  std::thread staller([&] {
    while (!done) {
      for (int i = 0; i < 70 && !done; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
      if (done) break;
      suspend("1");
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      suspend("0");
    }
  });
  std::string sent;
  int stallLines = 0;
  while (auto text = cli.ReadLine()) {
    if (text->rfind(kSentLine, 0) == 0) sent = *text;
    Line line;
    if (ParseLine(*text, line) && line.text == "声音输出停顿，已静音，将从下一个边界重新发波") ++stallLines;
  }
  const int status = cli.Wait(std::chrono::seconds(30));
  done = true;
  staller.join();
  EXPECT_EQ(status, 1) << Errors();
  EXPECT_GE(stallLines, 1);
  EXPECT_EQ(sent, std::string(kSentLine) + "0; stalls: " + std::to_string(stallLines));
  EXPECT_NE(Errors().find("no frame was sent whole and on time"), std::string::npos);
}

TEST_F(SoundTransmit, CtrlCDuringTheCountdownStopsCleanly) {
  Child cli;
  ASSERT_TRUE(Transmit(cli, {"--minutes", "5", "--rate", "96000"}));
  auto first = cli.ReadLine();
  ASSERT_TRUE(first.has_value());
  Line line;
  ASSERT_TRUE(ParseLine(*first, line)) << *first;
  EXPECT_EQ(line.text.rfind("等待 ", 0), 0u) << line.text;
  cli.Signal(SIGINT);
  std::vector<std::string> rest;
  std::string sent;
  while (auto text = cli.ReadLine()) {
    if (text->rfind(kSentLine, 0) == 0) {
      sent = *text;
      break;
    }
    ASSERT_TRUE(ParseLine(*text, line)) << *text;
    rest.push_back(line.text);
  }
  // Stopped before it could send: nothing failed.
  EXPECT_EQ(cli.Wait(std::chrono::seconds(30)), 0) << Errors();
  EXPECT_EQ(sent, std::string(kSentLine) + "0; stalls: 0");
  ASSERT_FALSE(rest.empty());
  EXPECT_EQ(rest.back(), "停止发波");
  EXPECT_EQ(Errors(), "");
}

// The sound server dies under the armed device (its stream plays silence
// until the boundary): the command says why and fails instead of waiting.
TEST_F(SoundTransmit, TheSoundServerDyingEndsTheCommandWithTheReason) {
  Child cli;
  ASSERT_TRUE(Transmit(cli, {"--minutes", "5"}));
  auto first = cli.ReadLine();
  ASSERT_TRUE(first.has_value());
  server.Signal(SIGKILL);
  // Its few lines fit in the pipe: no need to read them first. Where the
  // sound system does not report the dead server (Wine), the watch over
  // the playing buffer ends it: up to 24 s of countdown and 40 s past the
  // start.
  EXPECT_EQ(cli.Wait(std::chrono::seconds(90)), 1);
  EXPECT_NE(Errors().find("声音设备停止播放，发波已中止"), std::string::npos) << Errors();
}

// A frozen sound server holds the stream's stop inside the sound system;
// Ctrl-C ends the command all the same.
TEST_F(SoundTransmit, CtrlCEndsTheCommandWhileTheSoundServerIsFrozen) {
  Child cli;
  ASSERT_TRUE(Transmit(cli, {"--minutes", "5"}));
  auto first = cli.ReadLine();
  ASSERT_TRUE(first.has_value());
  server.Signal(SIGSTOP);
  cli.Signal(SIGINT);
  // Hung, it would sit there for half a minute or more.
  ASSERT_EQ(cli.Wait(std::chrono::seconds(20)), 0) << Errors();
  std::string last;
  while (auto text = cli.ReadLine()) {
    if (text->rfind(kSentLine, 0) != 0) last = *text;
  }
  EXPECT_NE(last.find("停止发波"), std::string::npos) << last;
}

}  // namespace
