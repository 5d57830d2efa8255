// The main window transmitting through the real sound stack: the dialog's
// own transmitter thread plays into a private PulseAudio's null sink, parec
// records the sink's monitor, and the recording is received back into a
// frame. The window is driven as a user would: modes, start, stop.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "signal/stations/bpc.h"
#include "tests/e2e/bpc_receiver.h"
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

TEST(WindowSound, StartPlaysAFrameOnTheBoundaryAndStopEndsIt) {
  e2e::PrivateSoundServer server;
  std::string error;
  ASSERT_TRUE(server.Start(error)) << error;
  e2e::Child recorder;
  const auto recording = server.dir() / "recording.raw";
  ASSERT_TRUE(server.StartRecording(recorder, recording, kRate));

  const char* command = std::getenv("TEMPIOLA_WINDOW_SOUND_COMMAND");
  const Time64 firstFrameBegins =
      command && *command ? TransmitInAnotherProgram(command) : e2e::TransmitOneFrameInTheWindow();
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  recorder.Signal(SIGINT);
  recorder.Wait(std::chrono::seconds(10));

  ASSERT_NE(firstFrameBegins, 0);
  EXPECT_EQ(platform::ToLocalTime(firstFrameBegins).second % 20, 0) << "transmission begins on a frame boundary";
  std::string heard;
  const e2e::Reception reception = e2e::ReceiveRecording(recording, kRate, heard, e2e::SecondSlackMs(command && *command));
  SCOPED_TRACE(heard);
  EXPECT_EQ(reception.brokenFrames, 0);
  // The stop cut the second frame short: one whole frame, right after the
  // paused device's silence, carrying the time it was sent at.
  ASSERT_EQ(reception.frames.size(), 1u);
  EXPECT_NEAR(reception.frames[0].startMs, reception.leadSilenceMs, 5.0);
  EXPECT_EQ(reception.frames[0].symbols, e2e::FrameFor(firstFrameBegins + 1));
}

}  // namespace
