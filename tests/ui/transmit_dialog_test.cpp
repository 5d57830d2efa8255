// The main window's transmitter side on a scripted device and a virtual
// clock: the statuses as log lines, control states and boxes, the modes
// offered from the device's capabilities, start and stop, the hidden test
// signal, and the thread's end with the window.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <tuple>
#include <vector>

#include "platform/system_clock.h"
#include "platform/text_encoding.h"
#include "res/resource.h"
#include "signal/stations/bpc.h"
#include "tests/ntp/fake_ntp_server.h"
#include "tests/signal/station_decoder.h"
#include "tests/sound_checks.h"
#include "tests/ui/main_dialog_run.h"
#include "tests/ui/scripted_sound.h"
#include "ui/framework/testing/dialog_driver.h"
#include "ui/tempiola_dlg.h"

namespace {

using afxtest::Window;
using ui_test::RunMainDialog;
using platform::Time64;

constexpr int kStateControls[] = {IDC_CALIBRATE, IDC_QUERY, IDC_MODIFY_SERVERS, IDC_START,
                                  IDC_STOP,      IDC_MODE,  IDC_STATION,        IDC_STANDARD_TIME};

Time64 At(int hour, int minute, int second) {
  Time64 t = 0;
  EXPECT_TRUE(platform::BuildLocalTime(2026, 3, 9, hour, minute, second, t));
  return t;
}

// The enabled ones among the eight controls that the states switch.
std::vector<int> Enabled(const Window& w) {
  std::vector<int> on;
  for (int id : kStateControls) {
    if (w.IsEnabled(id)) on.push_back(id);
  }
  return on;
}

const std::vector<int> kIdle = {IDC_CALIBRATE, IDC_QUERY, IDC_MODIFY_SERVERS, IDC_START, IDC_MODE, IDC_STATION,
                                IDC_STANDARD_TIME};
const std::vector<int> kTransmitting = {IDC_STOP};

// The log's lines without their "hh:mm:ss  " prefix.
std::vector<std::string> Log(const Window& w) {
  std::vector<std::string> lines;
  for (const std::string& line : w.Items(IDC_INFO)) lines.push_back(line.size() >= 10 ? line.substr(10) : line);
  return lines;
}

bool LastLineIs(const Window& w, const std::string& text) {
  const auto lines = Log(w);
  return !lines.empty() && lines.back() == text;
}

// The step for a message box with this text and only an OK button: it
// presses OK and notes that it did.
ui_test::MoreSteps AnswerOkBox(std::string text, bool& answered) {
  return [text, &answered](afxtest::Script& script) {
    script.Then([text, &answered](Window& box) {
      ASSERT_TRUE(box.IsMessageBox());
      EXPECT_EQ(box.MessageText(), text);
      EXPECT_EQ(box.MessageType() & 0xF, static_cast<UINT>(MB_OK));
      box.Answer(IDOK);
      answered = true;
    });
  };
}

// The thread has ended and the window's close joined it and released the
// events, instead of giving up on it after its time limit.
void ExpectThreadJoined() {
  EXPECT_FALSE(g_txContext.hThread.IsRunning());
  EXPECT_FALSE(g_txContext.hQuitEvent);
  EXPECT_FALSE(g_txContext.hExitedEvent);
}

// Every test's window transmits on a scripted device whose clock reads
// 10:15:07; a test scripts the device further before it starts the window.
class TransmitDialog : public ::testing::Test {
 protected:
  TransmitDialog() { sound.clock.Set(At(10, 15, 7)); }
  ui_test::ScriptedSound sound;
};

// Holds the thread's first question to the device until the window is up,
// so that the report of a missing device comes while the test watches.
class GatedWaveOut final : public tx_test::ForwardWaveOut {
 public:
  explicit GatedWaveOut(platform::WaveOutDevice& to) : ForwardWaveOut(to) {}
  using ForwardWaveOut::Open;
  void Open() {
    std::lock_guard lock(mutex_);
    open_ = true;
    cv_.notify_all();
  }
  unsigned GetNumDevs() override {
    std::unique_lock lock(mutex_);
    cv_.wait_for(lock, tx_test::kPatience, [&] { return open_; });
    return ForwardWaveOut::GetNumDevs();
  }

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  bool open_ = false;
};

TEST_F(TransmitDialog, NoPlaybackDeviceLogsDisablesTransmissionForGoodAndAsksForARestart) {
  sound.device.numDevs = 0;
  GatedWaveOut gate(sound.device);
  g_txContext.pDevice = &gate;
  CTempiolaDlg dlg;
  bool boxAnswered = false;
  RunMainDialog(dlg, [&](Window& w) {
    gate.Open();
    ASSERT_TRUE(w.PumpUntil([&] { return boxAnswered && !Log(w).empty(); }));
    EXPECT_EQ(Log(w), std::vector<std::string>{"没有找到播放设备，无法发波"});
    EXPECT_EQ(w.ItemData(IDC_INFO, 0), 8u);
    EXPECT_EQ(Enabled(w), (std::vector<int>{IDC_CALIBRATE, IDC_QUERY, IDC_MODIFY_SERVERS}));
    EXPECT_EQ(w.Items(IDC_MODE), std::vector<std::string>{"模式0"}) << "no capabilities without a device";
  }, AnswerOkBox("没有找到播放设备，无法发波！\r\n\r\n请先关闭本软件，排除播放设备故障后再重新打开软件！", boxAnswered));
  // The thread ended at once; it never confirms a quit, so a close that
  // waited for the confirmation would have given up on it instead.
  ExpectThreadJoined();
  EXPECT_EQ(sound.device.Count("open 44100"), 0);
}

TEST_F(TransmitDialog, OpenFailureReturnsToIdleAndSaysSo) {
  sound.device.openResult = platform::MMSYSERR_ALLOCATED;
  CTempiolaDlg dlg;
  bool boxAnswered = false;
  RunMainDialog(dlg, [&](Window& w) {
    w.Click(IDC_START);
    EXPECT_EQ(Enabled(w), kTransmitting);
    ASSERT_TRUE(w.PumpUntil([&] { return boxAnswered && !Log(w).empty(); }));
    EXPECT_EQ(Log(w), std::vector<std::string>{"打开播放设备失败，无法发波"});
    EXPECT_EQ(w.ItemData(IDC_INFO, 0), 8u);
    EXPECT_EQ(Enabled(w), kIdle);
    EXPECT_EQ(sound.device.Count("open 44100"), 1);
  }, AnswerOkBox("打开播放设备失败，无法发波！", boxAnswered));
  ExpectThreadJoined();
}

TEST_F(TransmitDialog, ADeviceThatStopsPlayingEndsTheTransmissionAndANewStartWorks) {
  CTempiolaDlg dlg;
  bool boxAnswered = false;
  RunMainDialog(dlg, [&](Window& w) {
    w.Click(IDC_START);
    ASSERT_TRUE(w.PumpUntil([&] { return LastLineIs(w, "等待 13 秒开始发波"); }));
    sound.clock.Set(At(10, 15, 20));
    ASSERT_TRUE(w.PumpUntil([&] { return LastLineIs(w, "正在发波 1"); }));
    // The first buffer, due at 10:15:40, never finishes.
    sound.clock.Set(At(10, 16, 1));
    ASSERT_TRUE(w.PumpUntil([&] { return boxAnswered && LastLineIs(w, "声音设备停止播放，发波已中止"); }));
    EXPECT_EQ(Log(w), (std::vector<std::string>{"等待 13 秒开始发波", "正在发波 1", "声音设备停止播放，发波已中止"}));
    EXPECT_EQ(w.ItemData(IDC_INFO, 2), 9u);
    EXPECT_EQ(Enabled(w), kIdle);
    EXPECT_FALSE(sound.device.IsOpen());

    sound.clock.Set(At(10, 16, 30));
    w.Click(IDC_START);
    ASSERT_TRUE(w.PumpUntil([&] { return LastLineIs(w, "等待 10 秒开始发波"); }));
    EXPECT_EQ(sound.device.Count("open 44100"), 2);
  }, AnswerOkBox("声音设备停止播放，发波已中止！", boxAnswered));
  ExpectThreadJoined();
}

TEST_F(TransmitDialog, TheDevicesCapabilitiesAddTheirModes) {
  struct Case {
    std::uint32_t formats;
    std::vector<std::string> modes;
    std::vector<std::uintptr_t> rates;
  };
  const Case cases[] = {
      {0, {"模式0"}, {44100}},
      {platform::WAVE_FORMAT_4M16 | platform::WAVE_FORMAT_48M16, {"模式0", "模式1"}, {44100, 48000}},
      {platform::WAVE_FORMAT_96M16, {"模式0", "模式2"}, {44100, 96000}},
      {platform::WAVE_FORMAT_48M16 | platform::WAVE_FORMAT_96M16, {"模式0", "模式1", "模式2"}, {44100, 48000, 96000}},
      {platform::kWaveFormat192M16, {"模式0", "模式3 (载波)"}, {44100, 192000}},
      {platform::WAVE_FORMAT_48M16 | platform::WAVE_FORMAT_96M16 | platform::kWaveFormat192M16,
       {"模式0", "模式1", "模式2", "模式3 (载波)"},
       {44100, 48000, 96000, 192000}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("formats " + std::to_string(c.formats));
    // A device of its own for each case, in place of the test's while it lives.
    ui_test::ScriptedSound caseSound;
    caseSound.device.formats = c.formats;
    caseSound.clock.Set(At(10, 15, 7));
    CTempiolaDlg dlg;
    RunMainDialog(dlg, [&](Window& w) {
      // The thread reports its capabilities before it handles the start:
      // once the device is opened, the report is in the window's queue.
      w.Click(IDC_START);
      ASSERT_TRUE(w.PumpUntil([&] { return caseSound.device.Count("open 44100") == 1; }));
      w.Pump();
      EXPECT_EQ(w.Items(IDC_MODE), c.modes);
      for (std::size_t i = 0; i < c.rates.size(); ++i) EXPECT_EQ(w.ItemData(IDC_MODE, static_cast<int>(i)), c.rates[i]);
      EXPECT_EQ(w.Selection(IDC_MODE), 0) << "the selection stays on mode 0";
    });
  }
}

// Mode 3 plays BPC's carrier itself, the others the tone a fifth of it.
TEST_F(TransmitDialog, StartOpensTheDeviceAtTheSelectedModesRate) {
  sound.device.formats = platform::WAVE_FORMAT_48M16 | platform::WAVE_FORMAT_96M16 | platform::kWaveFormat192M16;
  CTempiolaDlg dlg;
  RunMainDialog(dlg, [&](Window& w) {
    ASSERT_TRUE(w.PumpUntil([&] { return w.Items(IDC_MODE).size() == 4; }));
    for (const auto& [mode, rate, hz] : {std::tuple{2, 96000u, 13700.0}, std::tuple{3, 192000u, 68500.0}}) {
      SCOPED_TRACE(mode);
      sound.clock.Set(At(10, 15, 7));
      w.Select(IDC_MODE, mode);
      w.Click(IDC_START);
      ASSERT_TRUE(w.PumpUntil([&] { return LastLineIs(w, "等待 13 秒开始发波"); }));
      EXPECT_EQ(sound.device.Count("open " + std::to_string(rate)), 1);
      ASSERT_EQ(sound.device.Queue().size(), 2u);
      const platform::WaveHeader* first = sound.device.Queue()[0];
      ASSERT_EQ(first->dwBufferLength, 40u * rate);
      const tone_test::Measured tone = tone_test::MeasureTone(reinterpret_cast<const std::int16_t*>(first->lpData), 0,
                                                              first->dwBufferLength / 2, rate, hz);
      EXPECT_NEAR(tone.hz, hz, 0.01);
      EXPECT_GT(tone.amplitude, 32000);
      w.Click(IDC_STOP);
      ASSERT_TRUE(w.PumpUntil([&] { return LastLineIs(w, "停止发波"); }));
    }
  });
}

// The chosen station is the one sent: DCF77 waits for the next minute and
// opens its frame with second 0's 100 ms of silence, where BPC plays tone.
// While it is sent, the lists show it and its mode.
TEST_F(TransmitDialog, StartSendsTheSelectedStation) {
  CTempiolaDlg dlg;
  RunMainDialog(dlg, [&](Window& w) {
    ASSERT_EQ(w.Items(IDC_STATION)[4], "DCF77");
    w.Select(IDC_STATION, 4);
    w.Click(IDC_START);
    ASSERT_TRUE(w.PumpUntil([&] { return LastLineIs(w, "等待 53 秒开始发波"); }));
    ASSERT_EQ(sound.device.Queue().size(), 2u);
    const auto* samples = reinterpret_cast<const std::int16_t*>(sound.device.Queue()[0]->lpData);
    EXPECT_EQ(std::count(samples, samples + 4410, 0), 4410);
    EXPECT_NE(std::count(samples + 4410, samples + 4500, 0), 90);
    // The disabled lists, changed as an accessibility client can, go back
    // to what is sent; stopped, they take a choice again.
    w.Select(IDC_STATION, 1);
    w.Select(IDC_MODE, 1);
    EXPECT_EQ(w.Selection(IDC_STATION), 4);
    EXPECT_EQ(w.Selection(IDC_MODE), 0);
    w.Click(IDC_STOP);
    w.Select(IDC_STATION, 1);
    EXPECT_EQ(w.Selection(IDC_STATION), 1);
  });
}

// Ticked, the start asks the selected server first. Refused, it says so and
// sends nothing; answered by a clock 3723.25 s ahead, the transmission
// counts down to that clock's boundary and sends its time.
TEST_F(TransmitDialog, TheStandardTimeBoxSendsTheServersTimeOrNothing) {
  std::atomic<bool> answer{false};
  FakeNtpServer ntp([&](const Bytes& request) -> std::optional<Bytes> {
    Bytes reply = ServerReply(request);
    if (!answer) return Bytes{};  // an empty reply counts for nothing
    const NtpTimestamp now = NtpTimestamp::FromUnixNanoseconds(platform::GetSystemTimeNanoseconds() + 3723250000000);
    now.ToNetwork(reply.data() + 32);
    now.ToNetwork(reply.data() + 40);
    return reply;
  });
  CTempiolaDlg dlg;
  dlg.m_ntpPort = ntp.port();
  RunMainDialog(dlg, [&](Window& w) {
    dlg.m_cbServer.ResetContent();
    dlg.m_cbServer.SetCurSel(dlg.m_cbServer.AddString("#1   127.0.0.1"));
    EXPECT_FALSE(w.IsChecked(IDC_STANDARD_TIME));
    w.Click(IDC_STANDARD_TIME);
    EXPECT_TRUE(w.IsChecked(IDC_STANDARD_TIME));
    w.Click(IDC_START);
    ASSERT_TRUE(w.PumpUntil([&] { return LastLineIs(w, "没有取得标准时间，不发波"); }));
    EXPECT_EQ(Log(w), (std::vector<std::string>{"获取#1服务器时间 失败！", "没有取得标准时间，不发波"}));
    EXPECT_EQ(Enabled(w), kIdle);
    EXPECT_EQ(sound.device.Count("open 44100"), 0);

    answer = true;
    w.Click(IDC_START);
    ASSERT_TRUE(w.PumpUntil([&] { return LastLineIs(w, "等待 10 秒开始发波"); }));
    const std::vector<std::string> log = Log(w);
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log[2].rfind("获取#1服务器时间 成功！时间偏差[3723.2", 0), 0u) << log[2];
    EXPECT_EQ(log[3].rfind("按标准时间发波，时间偏差[3723.2", 0), 0u) << log[3];
    EXPECT_EQ(Enabled(w), kTransmitting);
    const platform::WaveHeader* first = sound.device.Queue().at(0);
    const std::span samples(reinterpret_cast<const std::int16_t*>(first->lpData), first->dwBufferLength / 2);
    EXPECT_EQ(station_test::HeardBpcFrame(samples, 0, 44100), station_test::BpcFrameText(At(11, 17, 21)));
  });
}

TEST_F(TransmitDialog, CountdownThenProgressEachOnOneLineThenStopBackToIdle) {
  CTempiolaDlg dlg;
  RunMainDialog(dlg, [&](Window& w) {
    w.Click(IDC_START);
    EXPECT_EQ(Enabled(w), kTransmitting);
    ASSERT_TRUE(w.PumpUntil([&] { return LastLineIs(w, "等待 13 秒开始发波"); }));
    EXPECT_TRUE(sound.device.IsPaused());
    sound.clock.Set(At(10, 15, 12));
    ASSERT_TRUE(w.PumpUntil([&] { return LastLineIs(w, "等待 8 秒开始发波"); }));
    EXPECT_EQ(Log(w).size(), 1u) << "the countdown updates in place";
    EXPECT_EQ(w.ItemData(IDC_INFO, 0), 5u);

    sound.clock.Set(At(10, 15, 20));
    ASSERT_TRUE(w.PumpUntil([&] { return LastLineIs(w, "正在发波 1"); }));
    EXPECT_FALSE(sound.device.IsPaused());
    ASSERT_TRUE(sound.device.FinishFront());
    ASSERT_TRUE(w.PumpUntil([&] { return LastLineIs(w, "正在发波 2"); }));
    EXPECT_EQ(Log(w), (std::vector<std::string>{"等待 8 秒开始发波", "正在发波 2"}));
    EXPECT_EQ(w.ItemData(IDC_INFO, 1), 6u);
    EXPECT_EQ(Enabled(w), kTransmitting) << "statuses 1 and 2 leave the controls alone";

    w.Click(IDC_STOP);
    EXPECT_EQ(Enabled(w), kIdle) << "idle at once, before the thread answers";
    ASSERT_TRUE(w.PumpUntil([&] { return LastLineIs(w, "停止发波"); }));
    EXPECT_EQ(w.ItemData(IDC_INFO, 2), 7u);
    EXPECT_FALSE(sound.device.IsOpen());
    EXPECT_TRUE(sound.device.Queue().empty());

    // A new start counts down afresh on a new line.
    sound.clock.Set(At(10, 16, 30));
    w.Click(IDC_START);
    ASSERT_TRUE(w.PumpUntil([&] { return LastLineIs(w, "等待 10 秒开始发波"); }));
    EXPECT_EQ(Log(w).size(), 4u);
  });
  // Closing while armed gives the device back before the thread ends.
  EXPECT_FALSE(sound.device.IsOpen());
  EXPECT_EQ(sound.device.Count("open 44100"), 2);
  ExpectThreadJoined();
}

TEST_F(TransmitDialog, ClosingWhileTransmittingResetsAndClosesTheDevice) {
  CTempiolaDlg dlg;
  RunMainDialog(dlg, [&](Window& w) {
    w.Click(IDC_START);
    ASSERT_TRUE(w.PumpUntil([&] { return sound.device.Count("write") == 2; }));
    sound.clock.Set(At(10, 15, 20));
    ASSERT_TRUE(w.PumpUntil([&] { return LastLineIs(w, "正在发波 1"); }));
  });
  ExpectThreadJoined();
  const auto calls = sound.device.Calls();
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(calls.end() - 3, calls.end()),
            (std::vector<std::string>{"unprepare", "unprepare", "close"}));
  EXPECT_EQ(sound.device.Count("reset"), 1);
  EXPECT_FALSE(sound.device.IsOpen());
}

TEST_F(TransmitDialog, TheHiddenTestButtonQueuesTwoMinutesAndTheWindowsEndReleasesThem) {
  CTempiolaDlg dlg;
  RunMainDialog(dlg, [&](Window& w) {
    EXPECT_FALSE(w.IsVisible(IDC_TEST_START));
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_TEST_START, BN_CLICKED), 0);
    EXPECT_EQ(sound.testSignalDevice.Calls(), (std::vector<std::string>{"open 44100", "prepare", "write"}));
    const auto queue = sound.testSignalDevice.Queue();
    ASSERT_EQ(queue.size(), 1u);
    EXPECT_EQ(queue[0]->dwBufferLength, 10584000u);
    EXPECT_FALSE(sound.testSignalDevice.IsPaused()) << "it plays at once, not tied to the clock";
    w.Pump();
    EXPECT_TRUE(Log(w).empty()) << "the test signal writes no line";
    EXPECT_EQ(sound.device.Count("open 44100"), 0) << "and leaves the transmitter alone";
  });
  EXPECT_FALSE(sound.testSignalDevice.IsOpen());
  EXPECT_TRUE(sound.testSignalDevice.Queue().empty());
}

}  // namespace
