// The main window transmitting through the real sound stack: the dialog's
// own transmitter thread plays into a private PulseAudio's null sink, parec
// records the sink's monitor, and the recording is received back into
// frames. The window is driven as a user would: modes, start, stop.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "signal/station_table.h"
#include "tests/e2e/sound_server.h"
#include "tests/e2e/window_transmission.h"

namespace {

using platform::Time64;

constexpr unsigned kRate = 44100;

// The window's part in a program of its own (the Windows build under Wine):
// the command in TEMPIOLA_WINDOW_SOUND_COMMAND (words separated by spaces),
// which prints "first frame begins <seconds since 1970>".
Time64 TransmitInAnotherProgram(const char* command) {
  std::vector<std::string> words;
  std::istringstream in(command);
  for (std::string word; in >> word;) words.push_back(word);
  e2e::Child window;
  const auto errors = std::filesystem::temp_directory_path() / "tempiola-window-sound.err";
  if (!window.Spawn(words, "", errors.string())) {
    ADD_FAILURE() << "cannot start " << command;
    return 0;
  }
  Time64 firstFrameBegins = 0;
  std::string output;
  while (auto line = window.ReadLine()) {
    output += *line + "\n";
    if (line->rfind("first frame begins ", 0) == 0) firstFrameBegins = std::stoll(line->substr(19));
  }
  EXPECT_EQ(window.Wait(std::chrono::seconds(30)), 0) << output << e2e::ReadFile(errors);
  std::filesystem::remove(errors);
  return firstFrameBegins;
}

TEST(WindowSound, StartPlaysFramesFromTheBoundaryAndStopEndsThem) {
  e2e::PrivateSoundServer server;
  std::string error;
  ASSERT_TRUE(server.Start(error)) << error;
  e2e::SinkRecording recording(server, kRate);
  ASSERT_TRUE(recording.Start());

  const char* command = std::getenv("TEMPIOLA_WINDOW_SOUND_COMMAND");
  const Time64 firstFrameBegins =
      command && *command ? TransmitInAnotherProgram(command) : e2e::TransmitTwoFramesInTheWindow();
  recording.Stop();

  ASSERT_NE(firstFrameBegins, 0);
  EXPECT_EQ(platform::ToLocalTime(firstFrameBegins).second % 20, 0) << "transmission begins on a frame boundary";
  std::string heard;
  const e2e::Reception reception = recording.Receive(*FindStation("bpc"), heard);
  SCOPED_TRACE(heard);
  EXPECT_EQ(reception.brokenFrames, 0);
  EXPECT_LE(reception.worstSecondMs, e2e::SecondSlackMs(command && *command));
  // The stop cut the third frame short: two whole frames (a single one is
  // too short for the receiver to find its seconds), each carrying the time
  // it was sent at, the first right after the paused device's silence: the
  // reference second, the tone throughout, then second 1's silence (the
  // decoder places the frame along a line through its seconds, within a
  // second's slack of that).
  ASSERT_EQ(reception.frames.size(), 2u);
  EXPECT_NEAR(reception.firstSilenceMs - 1000, reception.leadSilenceMs, 5.0);
  EXPECT_NEAR(reception.frames[0].startMs, reception.leadSilenceMs, e2e::SecondSlackMs(command && *command));
  for (std::size_t k = 0; k < 2; ++k) {
    EXPECT_EQ(reception.frames[k].time, e2e::BpcTime(firstFrameBegins + 20 * static_cast<Time64>(k)));
  }
}

}  // namespace
