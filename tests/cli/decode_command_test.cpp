#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "signal/station_table.h"
#include "signal/station_audio.h"
#include "tests/cli/cli_runner.h"
#include "tests/cli_command.h"
#include "tests/scratch_dir.h"

namespace {

using cli_test::RunCli;

// DCF77 from 2026-12-31 23:58:00 UTC, two frames, in -1..1.
std::vector<double> Dcf77(unsigned rate) {
  const Station& s = *FindStation("dcf77");
  std::vector<std::int16_t> piece(60 * std::size_t{rate});
  std::vector<double> out;
  for (int k = 0; k < 2; ++k) {
    BuildStationAudio(s, s.toneHz, 1798761480 + 60 * k, 0, 60, rate, piece.data());
    for (std::int16_t v : piece) out.push_back(v / 32768.0);
  }
  return out;
}

void Put(std::string& to, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) to.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// A WAV file of the samples in the given form; the second channel, if any,
// holds noise.
std::string Wav(const std::vector<double>& x, unsigned rate, unsigned format, unsigned bits, unsigned channels,
                bool extensible = false) {
  std::string data;
  std::mt19937 random(5);
  std::uniform_real_distribution<double> noise(-0.5, 0.5);
  for (double v : x) {
    for (unsigned c = 0; c < channels; ++c) {
      const double s = c == 0 ? v * 0.9 : noise(random);
      if (format == 3) {
        const float f = static_cast<float>(s);
        std::uint32_t u;
        std::memcpy(&u, &f, 4);
        Put(data, u, 4);
      } else if (bits == 8) {
        Put(data, static_cast<std::uint32_t>(std::lround(s * 127 + 128)), 1);
      } else {
        Put(data, static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(s * ((1 << (bits - 1)) - 1)))), static_cast<int>(bits / 8));
      }
    }
  }
  std::string fmt;
  Put(fmt, extensible ? 0xFFFE : format, 2);
  Put(fmt, channels, 2);
  Put(fmt, rate, 4);
  Put(fmt, rate * channels * bits / 8, 4);
  Put(fmt, channels * bits / 8, 2);
  Put(fmt, bits, 2);
  if (extensible) {
    Put(fmt, 22, 2);
    Put(fmt, bits, 2);
    Put(fmt, 0, 4);
    Put(fmt, format, 2);
    fmt += std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
  }
  std::string wav = "RIFF";
  Put(wav, static_cast<std::uint32_t>(4 + 8 + fmt.size() + 8 + data.size()), 4);
  wav += "WAVEfmt ";
  Put(wav, static_cast<std::uint32_t>(fmt.size()), 4);
  wav += fmt + "data";
  Put(wav, static_cast<std::uint32_t>(data.size()), 4);
  return wav + data;
}

// The command's lines are those of the two frames, each minute's start
// within 5 ms of where it lies.
void ExpectFrames(const std::string& out) {
  const std::vector<std::pair<double, std::string>> frames = {
      {60, "DCF77 2027-01-01 00:59 CET Fri summer=no announce=- parity=ok"},
      {120, "DCF77 2027-01-01 01:00 CET Fri summer=no announce=- parity=ok"}};
  std::size_t at = 0;
  for (const auto& [begins, rest] : frames) {
    const std::size_t end = out.find('\n', at);
    ASSERT_NE(end, std::string::npos) << out;
    const std::string line = out.substr(at, end - at);
    const std::size_t blank = line.find(' ');
    EXPECT_NEAR(std::stod(line.substr(0, blank)), begins, 0.005) << line;
    EXPECT_EQ(line.substr(blank + 1), rest);
    at = end + 1;
  }
  EXPECT_EQ(at, out.size()) << out;
}

class DecodeCommand : public ScratchDir {};

// The forms a recording comes in are read alike, from a file or a pipe.
TEST_F(DecodeCommand, EveryFormOfWavIsReadToItsFrames) {
  struct Form {
    const char* what;
    unsigned rate, format, bits, channels;
    bool extensible;
  };
  const Form forms[] = {
      {"8-bit mono", 22050, 1, 8, 1, false},    {"16-bit stereo", 44100, 1, 16, 2, false},
      {"24-bit mono", 48000, 1, 24, 1, false},  {"32-bit float", 44100, 3, 32, 1, false},
      {"16-bit extensible", 32000, 1, 16, 1, true},
  };
  for (const Form& f : forms) {
    SCOPED_TRACE(f.what);
    const std::string path = dir_ + "/in.wav";
    Spit(path, Wav(Dcf77(f.rate), f.rate, f.format, f.bits, f.channels, f.extensible));
    const cli_test::Result r = RunCli({"decode", path});
    EXPECT_EQ(r.status, 0) << r.err;
    ExpectFrames(r.out);
  }
  std::vector<std::string> piped = {"/bin/sh", "-c", "f=$1; shift; exec \"$@\" decode - < \"$f\"", "sh",
                                    dir_ + "/in.wav"};
  for (const std::string& word : test_support::CliCommand(TEMPIOLA_CLI_PATH)) piped.push_back(word);
  const cli_test::Result r = cli_test::RunCommand(piped, {});
  EXPECT_EQ(r.status, 0) << r.err;
  ExpectFrames(r.out);
}

// Bad input is one line and exit 2; a recording without a time, exit 1
// with the reason.
TEST_F(DecodeCommand, BadInputAndNothingToReadAreSaid) {
  struct Case {
    std::vector<std::string> args;
    std::string file;  // written to dir_/in.wav first, unless empty
    int status;
    const char* said;
  };
  std::string lowRate = Wav(std::vector<double>(4000, 0.0), 2000, 1, 16, 1);
  std::vector<double> hiss(44100 * 30);
  std::mt19937 random(9);
  std::normal_distribution<double> noise(0, 0.2);
  for (double& v : hiss) v = noise(random);
  const Case cases[] = {
      {{"decode", "in.wav"}, "just some text", 2, "not a WAV file"},
      {{"decode", "in.wav"}, lowRate, 2, "unsupported sample rate 2000 Hz"},
      {{"decode", "missing.wav"}, "", 2, "cannot read"},
      {{"decode", "--tone", "50", "in.wav"}, "", 2, "--tone needs a frequency"},
      {{"decode", "--station", "xyz", "in.wav"}, "", 2, "unknown station xyz"},
      {{"decode", "in.wav"}, Wav(hiss, 44100, 1, 16, 1), 1, "no frame decoded"},
      // listen refuses the same before it opens any device.
      {{"listen", "--minutes", "0"}, "", 2, "--minutes needs a whole number from 1"},
      {{"listen", "--tone", "20 kHz"}, "", 2, "--tone needs a frequency"},
      {{"listen", "--station", "xyz"}, "", 2, "unknown station xyz"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.said);
    if (!c.file.empty()) Spit(dir_ + "/in.wav", c.file);
    std::vector<std::string> args = c.args;
    if (args.front() == "decode") args.back() = dir_ + "/" + args.back();
    const cli_test::Result r = RunCli(args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_TRUE(r.out.empty()) << r.out;
    EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
  }
}

}  // namespace
