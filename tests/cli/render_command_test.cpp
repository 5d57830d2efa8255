#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "signal/station_table.h"
#include "signal/station_notation.h"
#include "signal/stations/bpc.h"
#include "tests/cli/cli_runner.h"
#include "tests/cli_command.h"
#include "tests/scratch_dir.h"
#include "tests/signal/station_decoder.h"
#include "tests/sound_checks.h"

namespace {

namespace fs = std::filesystem;
using cli_test::RunCli;

std::uint32_t Le32(const std::string& s, size_t at) {
  return static_cast<unsigned char>(s[at]) | static_cast<unsigned char>(s[at + 1]) << 8 |
         static_cast<unsigned char>(s[at + 2]) << 16 | static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + 3])) << 24;
}
std::uint16_t Le16(const std::string& s, size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(s[at]) | static_cast<unsigned char>(s[at + 1]) << 8);
}

// The samples of a rendered file, after its 44-byte header.
std::vector<std::int16_t> PcmOf(const std::string& wav) {
  std::vector<std::int16_t> samples(wav.size() < 44 ? 0 : (wav.size() - 44) / 2);
  if (!samples.empty()) std::memcpy(samples.data(), wav.data() + 44, samples.size() * 2);
  return samples;
}

using station_test::BpcFrameText;
using station_test::HeardBpcFrame;

// The instant of a local time in another zone, as the test's own clock
// would read it there.
platform::Time64 UtcMinuteOf(const char* zone, const char* local) {
  const char* saved = std::getenv("TZ");
  const std::string before = saved != nullptr ? saved : "";
  ::setenv("TZ", zone, 1);
  ::tzset();
  std::tm fields{};
  std::sscanf(local, "%d-%d-%d %d:%d:%d", &fields.tm_year, &fields.tm_mon, &fields.tm_mday, &fields.tm_hour,
              &fields.tm_min, &fields.tm_sec);
  fields.tm_year -= 1900;
  fields.tm_mon -= 1;
  fields.tm_isdst = -1;
  const platform::Time64 t = std::mktime(&fields);
  if (saved != nullptr) {
    ::setenv("TZ", before.c_str(), 1);
  } else {
    ::unsetenv("TZ");
  }
  ::tzset();
  return t;
}

class RenderCommand : public ScratchDir {};

TEST_F(RenderCommand, HeaderAndLength) {
  struct Case {
    std::vector<std::string> args;  // the file name is appended first
    std::uint32_t rate;
    std::uint32_t frames;
  };
  const Case cases[] = {
      {{"--start", "2026-12-31 23:59:40", "--frames", "1"}, 44100, 1},  // default rate
      {{"--start", "2026-12-31 23:59:40", "--frames", "2", "--rate", "48000"}, 48000, 2},
      {{"--rate=96000", "--frames=1", "--start=2026-12-31 23:59:00"}, 96000, 1},
  };
  for (const Case& c : cases) {
    const std::string path = dir_ + "/out.wav";
    std::vector<std::string> args{"render", path};  // options after the file, too
    args.insert(args.end(), c.args.begin(), c.args.end());
    cli_test::Result r = RunCli(args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");

    std::string wav = cli_test::Slurp(path);
    const std::uint32_t data = c.frames * 40 * c.rate;
    ASSERT_EQ(wav.size(), 44u + data) << c.rate;
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(Le32(wav, 4), 36 + data);
    EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(Le32(wav, 16), 16u);
    EXPECT_EQ(Le16(wav, 20), 1);   // PCM
    EXPECT_EQ(Le16(wav, 22), 1);   // mono
    EXPECT_EQ(Le32(wav, 24), c.rate);
    EXPECT_EQ(Le32(wav, 28), 2 * c.rate);
    EXPECT_EQ(Le16(wav, 32), 2);
    EXPECT_EQ(Le16(wav, 34), 16);
    EXPECT_EQ(wav.substr(36, 4), "data");
    EXPECT_EQ(Le32(wav, 40), data);
    EXPECT_EQ(EntriesInDir(), 1u) << "no temporary file left";
  }
}

TEST_F(RenderCommand, SilencesDecodeToConsecutiveFramesAcrossTheYear) {
  const std::string path = dir_ + "/year.wav";
  cli_test::Result r = RunCli({"render", "--start", "2026-12-31 23:59:40", "--frames", "3", "--rate", "96000", path});
  ASSERT_EQ(r.status, 0) << r.err;
  std::string wav = cli_test::Slurp(path);
  ASSERT_EQ(wav.size(), 44u + 3u * 3840000u);
  const std::vector<std::int16_t> samples = PcmOf(wav);

  // 23:59:41 on Thursday, then 00:00:01 and 00:00:21 on Friday 2027-01-01.
  EXPECT_EQ(HeardBpcFrame(samples, 0, 96000), BpcFrameText(2026, 12, 31, 5, 23, 59, 41));
  EXPECT_EQ(HeardBpcFrame(samples, 1 * 1920000, 96000), BpcFrameText(2027, 1, 1, 6, 0, 0, 1));
  EXPECT_EQ(HeardBpcFrame(samples, 2 * 1920000, 96000), BpcFrameText(2027, 1, 1, 6, 0, 0, 21));
}

// Each BPC frame carries the local time of the instant it plays at, as the
// transmitter sends it, across a change of the local clock; a start the
// clock skips names no instant. The runtime on Windows reads no such zone rules.
TEST_F(RenderCommand, BpcFramesCarryTheLocalTimeOfTheirInstantAcrossAClockChange) {
  if (test_support::CliIsWindowsBuild()) GTEST_SKIP() << "zone rules the Windows runtime cannot read";
  const std::string berlin = "TZ=CET-1CEST,M3.5.0,M10.5.0/3", path = dir_ + "/spring.wav";
  cli_test::Result r = RunCli({"render", "--start", "2027-03-28 01:59:40", "--frames", "2", path}, {berlin});
  ASSERT_EQ(r.status, 0) << r.err;
  std::string wav = cli_test::Slurp(path);
  ASSERT_EQ(wav.size(), 44u + 2u * 1764000u);
  const std::vector<std::int16_t> samples = PcmOf(wav);
  EXPECT_EQ(HeardBpcFrame(samples, 0, 44100), BpcFrameText(2027, 3, 28, 1, 1, 59, 41));
  EXPECT_EQ(HeardBpcFrame(samples, 882000, 44100), BpcFrameText(2027, 3, 28, 1, 3, 0, 1));

  const struct {
    const char* zone;
    const char* station;
    const char* start;
  } skipped[] = {
      {"TZ=CET-1CEST,M3.5.0,M10.5.0/3", "bpc", "2027-03-28 02:00:00"},
      {"TZ=LHST-10:30LHDT-11,M10.1.0,M4.1.0", "bpc", "2027-10-03 02:10:00"},
      {"TZ=LHST-10:30LHDT-11,M10.1.0,M4.1.0", "msf", "2027-10-03 02:29:00"},
  };
  for (const auto& c : skipped) {
    r = RunCli({"render", "--station", c.station, "--start", c.start, "--frames", "1", dir_ + "/skipped.wav"},
               {c.zone});
    EXPECT_EQ(r.status, 2) << c.start;
    EXPECT_NE(r.err.find("no such local time"), std::string::npos) << r.err;
  }
  EXPECT_FALSE(fs::exists(dir_ + "/skipped.wav"));
}

std::uint64_t Fnv1a(const std::string& bytes) {
  std::uint64_t fnv1a = 0xcbf29ce484222325ull;
  for (unsigned char byte : bytes) fnv1a = (fnv1a ^ byte) * 0x100000001b3ull;
  return fnv1a;
}

// The sound, pinned: BPC's three frames across the year end at each rate,
// as the program sent them before it knew other stations, and two minutes
// of each other station across it, as they were sent before the carrier
// and the sample clock could be asked for.
TEST_F(RenderCommand, RendersAreUnchangedByteForByte) {
  struct Pinned {
    const char* station;
    const char* rate;
    std::uint64_t digest;
  };
  const Pinned pinned[] = {
      {"bpc", "44100", 0xddb20f05f7a96a2aull},   {"bpc", "48000", 0x144f60208032127full},
      {"bpc", "96000", 0x40866e410a3493e6ull},   {"jjy40", "44100", 0x16cb3ddc6b99e3cfull},
      {"jjy60", "48000", 0x4c69b16969cd8eb7ull}, {"wwvb", "96000", 0xc5a409f54753f64aull},
      {"dcf77", "44100", 0x1308ffe3a510072full}, {"msf", "48000", 0x1f4067feb0884f77ull},
  };
  for (const Pinned& p : pinned) {
    const bool bpc = std::string(p.station) == "bpc";
    const std::string path = dir_ + "/pinned.wav";
    cli_test::Result r =
        RunCli({"render", "--station", p.station, "--start", bpc ? "2026-12-31 23:59:40" : "2026-12-31 23:59:00",
                "--frames", bpc ? "3" : "2", "--rate", p.rate, path},
               {"TZ=UTC0"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Fnv1a(cli_test::Slurp(path)), p.digest) << p.station << " at " << p.rate << " Hz";
  }
}

// Each station's render, heard back, carries the documented frame of the
// UTC minute that the local start names, whatever the computer's zone
// (fixed offsets with three-letter names, as both systems' runtimes read
// TZ).
TEST_F(RenderCommand, OtherStationsCarryTheDocumentedFramesAtEveryRate) {
  struct Case {
    const char* station;
    const char* zone;
    const char* start;  // local, in that zone
    unsigned rate;
    const char* frame;
  };
  const Case cases[] = {
      {"jjy40", "JST-9", "2004-04-01 17:25:00", 44100,
       "M01000101M 000100111M 000001001M 001000010M 000000100M 100000000M"},
      {"jjy60", "GMT0", "2026-12-31 15:47:00", 48000,
       "M10000111M 000000000M 000000000M 000100000M 000100111M 101000000M"},
      {"wwvb", "EST5", "2026-03-08 04:41:00", 96000,
       "M10000001M 000001001M 000000110M 011100101M 000000010M 011000010M"},
      {"dcf77", "CET-1", "2026-03-29 01:59:00", 48000,
       "0000000000 0000001100 1000000001 1000001001 0111111000 011001001M"},
      {"msf", "AET-10", "2026-10-25 10:59:00", 44100,
       "M  00 00 00 00 00 00 00 00 00\n00 00 00 00 00 00 00 00 00 10\n00 00 10 10 00 10 00 00 00 00\n"
       "10 00 00 10 00 10 00 00 00 00\n00 00 00 00 10 00 00 00 00 00\n00 00 00 11 10 11 11 10 10 00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.station);
    const Station* station = FindStation(c.station);
    ASSERT_NE(station, nullptr);
    const std::string path = dir_ + "/station.wav";
    cli_test::Result r = RunCli({"render", "--station", c.station, "--start", c.start, "--frames", "2", "--rate",
                                 std::to_string(c.rate), path},
                                {"TZ=" + std::string(c.zone)});
    ASSERT_EQ(r.status, 0) << r.err;
    std::string wav = cli_test::Slurp(path);
    ASSERT_EQ(wav.size(), 44u + 2u * 120u * c.rate);
    const std::vector<std::int16_t> samples = PcmOf(wav);
    EXPECT_EQ(station_test::DecodeFrame(*station, samples, 0, c.rate), c.frame);
    // The second frame is the next minute's, and the tone runs on across
    // the frame boundary without a jump.
    StationFrame next{};
    station->encode(UtcMinuteOf(c.zone, c.start) + 60, next);
    EXPECT_EQ(station_test::DecodeFrame(*station, samples, 60u * c.rate, c.rate), StationFrameText(*station, next));
  }
}

// The carrier itself, and a sound made for a sample clock that runs off:
// each on its frequency in the time it is played at, keyed as the ordinary
// render is, every silence at its instant.
TEST_F(RenderCommand, TheCarrierAndASampleClocksSoundKeyAsTheOrdinaryRender) {
  struct Case {
    const char* station;
    unsigned rate;
    bool carrier;
    double ppm;
  };
  const Case cases[] = {
      {"bpc", 192000, true, 0},     {"bpc", 176400, true, 0},    {"jjy40", 96000, true, 0},
      {"jjy40", 192000, true, 0},   {"jjy40", 176400, true, 0},  {"jjy60", 192000, true, 0},
      {"jjy60", 176400, true, 0},   {"wwvb", 192000, true, 0},   {"wwvb", 176400, true, 0},
      {"dcf77", 192000, true, 0},   {"dcf77", 176400, true, 0},  {"msf", 192000, true, 0},
      {"msf", 176400, true, 0},     {"dcf77", 48000, false, 500}, {"bpc", 44100, false, -250},
      {"wwvb", 192000, true, -1000},
  };
  auto render = [&](const Case& c, bool plain, std::vector<std::int16_t>& samples) {
    const std::string path = dir_ + (plain ? "/plain.wav" : "/asked.wav");
    std::vector<std::string> args{"render", "--station", c.station, "--start", "2026-12-31 23:59:00", "--frames", "1",
                                  "--rate", std::to_string(c.rate), path};
    if (!plain && c.carrier) args.push_back("--carrier");
    if (!plain && c.ppm != 0) args.insert(args.end(), {"--sample-clock-ppm", std::to_string(c.ppm)});
    cli_test::Result r = RunCli(args, {"TZ=UTC0"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string wav = cli_test::Slurp(path);
    ASSERT_GT(wav.size(), 44u);
    EXPECT_EQ(Le32(wav, 24), c.rate);
    samples.resize((wav.size() - 44) / 2);
    std::memcpy(samples.data(), wav.data() + 44, samples.size() * 2);
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.station) + " at " + std::to_string(c.rate) + (c.carrier ? ", carrier" : "") + ", " +
                 std::to_string(c.ppm) + " ppm");
    const Station& station = *FindStation(c.station);
    std::vector<std::int16_t> plain, asked;
    render(c, true, plain);
    render(c, false, asked);
    if (HasFatalFailure()) return;
    const double ratio = 1 + c.ppm / 1e6;
    EXPECT_NEAR(static_cast<double>(asked.size()), static_cast<double>(plain.size()) * ratio, 1.0);
    const double hz = c.carrier ? station.carrierHz : station.toneHz;
    const tone_test::Measured tone = tone_test::MeasureTone(asked.data(), 0, asked.size(), c.rate * ratio, hz);
    EXPECT_NEAR(tone.hz, hz, 0.01);
    EXPECT_GT(tone.amplitude, 32000);
    EXPECT_GT(tone.seconds, 0.3 * static_cast<double>(station.frameSeconds));
    EXPECT_TRUE(tone_test::SameSilences(tone_test::Silences(plain.data(), plain.size()),
                                        tone_test::Silences(asked.data(), asked.size()), ratio, 2.0));
  }
}

TEST_F(RenderCommand, ReplacesAnExistingFileWhole) {
  const std::string path = dir_ + "/again.wav";
  std::ofstream(path) << std::string(5000000, 'x');
  cli_test::Result r = RunCli({"render", "--start", "2026-03-01 12:00:20", "--frames", "1", path});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(fs::file_size(path), 44u + 1764000u);
}

TEST_F(RenderCommand, BadInputIsOneLineAndNoFile) {
  const std::string file = dir_ + "/bad.wav";
  const std::string start = "2026-12-31 23:59:40";
  const std::vector<std::vector<std::string>> calls = {
      {"--start", "2026-12-31 23:59:41", "--frames", "1", file},  // not a boundary
      {"--start", "2026-12-31 23:59:30", "--frames", "1", file},
      {"--start", "2026-02-29 00:00:00", "--frames", "1", file},  // no such day
      {"--start", "noon", "--frames", "1", file},
      {"--start", start, "--frames", "0", file},
      {"--start", start, "--frames", "-3", file},
      {"--start", start, "--frames", "two", file},
      {"--start", start, "--frames", "1.5", file},
      {"--start", start, "--frames", "99999999999999999999", file},
      {"--start", start, "--frames", "1119", "--rate", "96000", file},  // past the 32-bit WAV sizes
      {"--start", start, "--frames", "1", "--rate", "22050", file},
      {"--start", start, "--frames", "1", "--rate", "fast", file},
      {"--start", start, "--frames", "1", "--rate", "-44100", file},
      {"--start", start, "--frames", "1", "--rate", "4294967296", file},
      {"--start", start, "--frames", "1", "--rate", file},  // option without its value
      {"--start", start, "--frames", "1", "--loud", file},
      {"--frames", "1", file},
      {"--start", start, file},
      {"--start", start, "--frames", "1"},
      {"--start", start, "--frames", "1", file, file},
      {"--station", "msf", "--start", "2026-12-31 23:59:20", "--frames", "1", file},  // not second 0
      {"--station", "nope", "--start", start, "--frames", "1", file},
      {"--station", "dcf77", "--start", "2026-12-31 23:59:00", "--frames", "812", file},  // past the WAV sizes
      {"--start", start, "--frames", "1", "--rate", "192001", file},
      {"--start", start, "--frames", "1", "--carrier", file},  // 44 100 Hz cannot carry 68.5 kHz
      {"--start", start, "--frames", "1", "--rate", "96000", "--carrier", file},
      {"--station", "jjy40", "--start", "2026-12-31 23:59:00", "--frames", "1", "--rate", "48000", "--carrier", file},
      {"--station", "dcf77", "--start", "2026-12-31 23:59:00", "--frames", "1", "--rate", "96000", "--carrier", file},
      {"--start", start, "--frames", "1", "--sample-clock-ppm", "1000.5", file},
      {"--start", start, "--frames", "1", "--sample-clock-ppm", "-2000", file},
      {"--start", start, "--frames", "1", "--sample-clock-ppm", "1e2", file},
      {"--start", start, "--frames", "1", "--sample-clock-ppm", "fast", file},
      {"--start", start, "--frames", "1", "--sample-clock-ppm", "", file},
  };
  // A target that cannot be written is no misuse: status 1. One that is
  // there but not a regular file stays as it is.
  const std::string fifo = dir_ + "/pipe.wav";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& target : {fifo, dir_ + "/missing/out.wav", dir_}) {
    cli_test::Result r = RunCli({"render", "--start", start, "--frames", "1", target});
    EXPECT_EQ(r.status, 1) << target;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
  EXPECT_TRUE(fs::is_fifo(fifo));
  fs::remove(fifo);

  for (const auto& call : calls) {
    std::vector<std::string> args{"render"};
    args.insert(args.end(), call.begin(), call.end());
    std::string shown;
    for (const std::string& a : call) shown += " [" + a + "]";
    cli_test::Result r = RunCli(args);
    EXPECT_EQ(r.status, 2) << shown;
    EXPECT_EQ(r.out, "") << shown;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << shown << ": " << r.err;
    EXPECT_EQ(EntriesInDir(), 0u) << shown << ": left a file behind";
  }
}

TEST_F(RenderCommand, AKilledRenderLeavesTheOldFileAndNothingElse) {
  using namespace std::chrono_literals;
  const std::string path = dir_ + "/out.wav";
  std::ofstream(path) << "old";
  // Waits up to five seconds for the directory to hold n entries: the
  // Windows program's new file has a name, and Wine closes a killed
  // program's files just after it has ended.
  const auto settlesAt = [&](std::size_t n) {
    for (auto deadline = std::chrono::steady_clock::now() + 5s;
         EntriesInDir() != n && std::chrono::steady_clock::now() < deadline;) {
      std::this_thread::sleep_for(20ms);
    }
    return EntriesInDir();
  };
  for (int signal : {SIGTERM, SIGKILL}) {
    std::vector<std::string> args = test_support::CliCommand(TEMPIOLA_CLI_PATH);
    args.insert(args.end(), {"render", "--start", "2026-12-31 23:59:40", "--frames", "100", path});
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ), 0);
    // Well into the writing: 100 frames take seconds. (Linux's new file has
    // no name to wait for.)
    if (test_support::CliIsWindowsBuild()) {
      EXPECT_EQ(settlesAt(2), 2u) << "no new file seen";
    }
    std::this_thread::sleep_for(300ms);
    ASSERT_EQ(::kill(pid, signal), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFSIGNALED(status)) << "still running when killed";
    EXPECT_EQ(cli_test::Slurp(path), "old");
    EXPECT_EQ(settlesAt(1), 1u) << "signal " << signal;
  }
}

TEST_F(RenderCommand, HelpGoesToStdout) {
  cli_test::Result r = RunCli({"render", "--help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("usage: tempiola-cli render"), std::string::npos) << r.out;
  EXPECT_EQ(EntriesInDir(), 0u);
}

}  // namespace
