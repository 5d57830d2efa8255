// The main window transmitting through the real sound stack: the dialog's
// own transmitter thread plays into a private PulseAudio's null sink, parec
// records the sink's monitor, and the recording is received back into a
// frame. The window is driven as a user would: modes, start, stop.
#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "bpc/bpc_frame.h"
#include "platform/local_time.h"
#include "res/resource.h"
#include "tests/e2e/bpc_receiver.h"
#include "tests/e2e/sound_server.h"
#include "ui/framework/testing/dialog_driver.h"
#include "ui/tempiola_dlg.h"

namespace {

using afxtest::Window;
using platform::Time64;

constexpr unsigned kRate = 44100;

// The last log line without its time prefix, and the prefix's instant
// (within a few seconds of now: the prefix names no date).
struct LastLine {
  std::string text;
  Time64 at = 0;
};

LastLine Last(const Window& w) {
  const auto items = w.Items(IDC_INFO);
  if (items.empty()) return {};
  static const std::regex pattern("^(\\d\\d):(\\d\\d):(\\d\\d)  (.*)$");
  std::smatch m;
  if (!std::regex_match(items.back(), m, pattern)) return {items.back(), 0};
  LastLine line{m[4], 0};
  const Time64 now = platform::CurrentTime();
  for (Time64 t = now - 5; t <= now + 2; ++t) {
    platform::LocalTime f = platform::ToLocalTime(t);
    if (f.hour == std::stoi(m[1]) && f.minute == std::stoi(m[2]) && f.second == std::stoi(m[3])) line.at = t;
  }
  return line;
}

TEST(WindowSound, StartPlaysAFrameOnTheBoundaryAndStopEndsIt) {
  e2e::PrivateSoundServer server;
  std::string error;
  ASSERT_TRUE(server.Start(error)) << error;
  e2e::Child recorder;
  const auto recording = server.dir() / "recording.raw";
  ASSERT_TRUE(server.StartRecording(recorder, recording, kRate));

  Time64 firstFrameBegins = 0;
  CTempiolaDlg dlg;
  afxtest::Script script;
  script.Then([&](Window& w) {
    // The sound server takes every rate: the device offers all three modes.
    ASSERT_TRUE(w.PumpUntil([&] { return w.Items(IDC_MODE).size() == 3; }, 10000));
    EXPECT_EQ(w.Items(IDC_MODE), (std::vector<std::string>{"模式0", "模式1", "模式2"}));
    w.Click(IDC_START);
    ASSERT_TRUE(w.PumpUntil([&] { return Last(w).text.rfind("等待 ", 0) == 0; }, 10000)) << Last(w).text;
    // The first frame begins within 24 s; the second when it has played whole.
    ASSERT_TRUE(w.PumpUntil([&] { return Last(w).text == "正在发波 1"; }, 30000)) << Last(w).text;
    firstFrameBegins = Last(w).at;
    ASSERT_TRUE(w.PumpUntil([&] { return Last(w).text == "正在发波 2"; }, 30000)) << Last(w).text;
    w.Click(IDC_STOP);
    ASSERT_TRUE(w.PumpUntil([&] { return Last(w).text == "停止发波"; }, 10000)) << Last(w).text;
    EXPECT_TRUE(w.IsEnabled(IDC_START));
    w.Click(IDCANCEL);
  });
  EXPECT_EQ(script.Run(dlg), IDCANCEL);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  recorder.Signal(SIGINT);
  recorder.Wait(std::chrono::seconds(10));

  ASSERT_NE(firstFrameBegins, 0);
  EXPECT_EQ(platform::ToLocalTime(firstFrameBegins).second % 20, 0) << "transmission begins on a frame boundary";
  std::string heard;
  const e2e::Reception reception = e2e::ReceiveRecording(recording, kRate, heard);
  SCOPED_TRACE(heard);
  EXPECT_EQ(reception.brokenFrames, 0);
  // The stop cut the second frame short: one whole frame, right after the
  // paused device's silence, carrying the time it was sent at.
  ASSERT_EQ(reception.frames.size(), 1u);
  EXPECT_NEAR(reception.frames[0].startMs, reception.leadSilenceMs, 5.0);
  EXPECT_EQ(reception.frames[0].symbols, e2e::FrameFor(firstFrameBegins + 1));
}

}  // namespace
