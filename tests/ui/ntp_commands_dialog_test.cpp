// The two NTP buttons of the main window against a small UDP server on
// loopback; the clock is set through an injected clock with a stand-in
// privilege, never the real one.
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "platform/system_clock.h"
#include "platform/text_encoding.h"
#include "res/resource.h"
#include "tests/ntp/fake_ntp_server.h"
#include "tests/ntp/fake_time_privilege.h"
#include "tests/ui/main_dialog_run.h"
#include "ui/framework/testing/dialog_driver.h"
#include "ui/tempiola_dlg.h"

namespace {

using afxtest::Window;

// Runs the main dialog with the given entries in its server list (the first
// selected, or the given one) and the NTP port pointed at port.
void WithServers(const std::vector<std::string>& entriesUtf8, int selected, int port,
                 const std::function<void(Window&, CTempiolaDlg&)>& body,
                 const ui_test::MoreSteps& moreSteps = nullptr) {
  CTempiolaDlg dlg;
  dlg.m_ntpPort = port;
  ui_test::RunMainDialog(
      dlg,
      [&](Window& w) {
        dlg.m_cbServer.ResetContent();
        for (const auto& entry : entriesUtf8) {
          std::string gbk;
          ASSERT_TRUE(platform::Utf8ToGbk(entry, gbk));
          dlg.m_cbServer.AddString(gbk.c_str());
        }
        if (!entriesUtf8.empty()) dlg.m_cbServer.SetCurSel(selected);
        body(w, dlg);
      },
      moreSteps);
}

struct LogLine {
  std::string text;  // without the time prefix
  std::uintptr_t kind;
};

std::vector<LogLine> Log(Window& w) {
  w.Pump();
  static const std::regex prefix("^[0-9]{2}:[0-9]{2}:[0-9]{2}  ");
  std::vector<LogLine> lines;
  const auto items = w.Items(IDC_INFO);
  for (std::size_t i = 0; i < items.size(); ++i) {
    EXPECT_TRUE(std::regex_search(items[i], prefix)) << items[i];
    lines.push_back({items[i].substr(std::min<std::size_t>(10, items[i].size())), w.ItemData(IDC_INFO, int(i))});
  }
  return lines;
}

const std::vector<std::string> kThreeEntries = {
    "#1   192.0.2.1   [不用]", "#2   192.0.2.2   [不用]", "#3   127.0.0.1   [本机]"};

// A result line of server n with its offset and delay.
bool IsResultLine(const std::string& line, int n, double& offset, double& delay) {
  const std::regex form("^获取#" + std::to_string(n) +
                        "服务器时间 成功！时间偏差\\[(-?[0-9]+\\.[0-9]{6})秒\\] 网络延迟\\[(-?[0-9]+\\.[0-9]{6})秒\\]$");
  std::smatch m;
  if (!std::regex_match(line, m, form)) return false;
  offset = std::stod(m[1]);
  delay = std::stod(m[2]);
  return true;
}

double Now() {
  return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

TEST(NtpCommands, WithoutServersEitherButtonSaysSoAndLogsNothing) {
  FakeNtpServer server([](const Bytes& request) { return ServerReply(request); });
  WithServers({}, -1, server.port(), [&](Window& w, CTempiolaDlg&) {
    w.Click(IDC_QUERY);
    w.Click(IDC_CALIBRATE);
    EXPECT_TRUE(Log(w).empty());
    EXPECT_EQ(server.requests(), 0);
    EXPECT_FALSE(AfxWaitCursorShown());
  }, [](afxtest::Script& script) {
    for (int i = 0; i < 2; ++i) {
      script.Then([](Window& box) {
        ASSERT_TRUE(box.IsMessageBox());
        EXPECT_EQ(box.MessageText(), "没有NTP服务器！");
        EXPECT_EQ(box.MessageType() & 0xF, static_cast<UINT>(MB_OK));
        box.Answer(IDOK);
      });
    }
  });
}

TEST(NtpCommands, ResultKindsAlternateAcrossBothButtonsAndTheClockMovesByTheOffset) {
  // The fake server runs 0.5 s ahead, so the offset is about 0.5 s.
  FakeNtpServer server([](const Bytes& request) { return ServerReply(request); });
  WithServers(kThreeEntries, 2, server.port(), [&](Window& w, CTempiolaDlg&) {
    std::vector<double> setTo;
    std::vector<double> setAt;
    bool busyAndRaisedWhileSetting = true;
    int clockResult = 0;
    FakeTimePrivilege privilege;
    platform::ClockOverride clock([&](const timespec& time) {
      setTo.push_back(static_cast<double>(time.tv_sec) + time.tv_nsec / 1e9);
      setAt.push_back(Now());
      busyAndRaisedWhileSetting = busyAndRaisedWhileSetting && AfxWaitCursorShown() && privilege.raised();
      return clockResult;
    });

    w.Click(IDC_QUERY);
    w.Click(IDC_CALIBRATE);
    clockResult = EINVAL;  // the system refuses the next time
    w.Click(IDC_CALIBRATE);
    w.Click(IDC_QUERY);
    EXPECT_FALSE(AfxWaitCursorShown());
    EXPECT_EQ(server.requests(), 4);

    const auto log = Log(w);
    ASSERT_EQ(log.size(), 6u);
    const std::vector<std::uintptr_t> kinds = {kLogNtpResultNext, kLogNtpResult, kLogClockSet,
                                               kLogNtpResultNext, kLogClockNotSet, kLogNtpResult};
    for (std::size_t i = 0; i < log.size(); ++i) EXPECT_EQ(log[i].kind, kinds[i]) << log[i].text;
    std::vector<double> offsets(log.size());
    for (std::size_t i : {0u, 1u, 3u, 5u}) {
      double& offset = offsets[i];
      double delay = 0;
      ASSERT_TRUE(IsResultLine(log[i].text, 3, offset, delay)) << log[i].text;
      // The lead less half the delay, however long the round trip took.
      EXPECT_NEAR(offset + delay / 2, 0.5, 2e-6) << log[i].text;
      EXPECT_GE(delay, -0.01);
    }
    EXPECT_EQ(log[2].text, "校时 成功！");
    EXPECT_EQ(log[4].text, "校时 失败！");

    // Set to the local time of the setting plus the offset of the query
    // just logged, not the server's own time and not the time of the reply.
    ASSERT_EQ(setTo.size(), 2u);
    const std::size_t queryOf[] = {1, 3};
    for (std::size_t i = 0; i < setTo.size(); ++i) EXPECT_NEAR(setTo[i] - setAt[i], offsets[queryOf[i]], 0.05);
    EXPECT_TRUE(busyAndRaisedWhileSetting);
    EXPECT_FALSE(privilege.raised());
  });
}

TEST(NtpCommands, AFailedQueryLogsItsOwnKindsAndNeverTouchesTheClock) {
  // Echoing the request back is a client-mode datagram, not a reply: each
  // query waits out the time-out for a real one.
  FakeNtpServer server([](const Bytes& request) { return request; });
  WithServers(kThreeEntries, 2, server.port(), [&](Window& w, CTempiolaDlg&) {
    int clockCalls = 0;
    platform::ClockOverride clock([&](const timespec&) {
      ++clockCalls;
      return 0;
    });
    w.Click(IDC_CALIBRATE);
    w.Click(IDC_QUERY);
    EXPECT_FALSE(AfxWaitCursorShown());
    EXPECT_EQ(server.requests(), 2);
    EXPECT_EQ(clockCalls, 0);

    const auto log = Log(w);
    ASSERT_EQ(log.size(), 2u);
    const std::vector<std::uintptr_t> kinds = {kLogNtpFailureNext, kLogNtpFailure};
    for (std::size_t i = 0; i < log.size(); ++i) {
      EXPECT_EQ(log[i].text, "获取#3服务器时间 失败！");
      EXPECT_EQ(log[i].kind, kinds[i]);
    }
  });
}

TEST(NtpCommands, TheHostIsTheAddressAloneWhateverTheFillAndTheRemark) {
  FakeNtpServer server([](const Bytes& request) { return ServerReply(request); }, "::1");
  // A two-digit number with a single blank, a tab and a full-width space in
  // the address, and a remark with brackets and blanks of its own.
  WithServers({"#1   192.0.2.1   [不用]", "#12 :\t:　1   [本机 [IPv6] 服务器]"}, 1, server.port(),
              [&](Window& w, CTempiolaDlg&) {
                w.Click(IDC_QUERY);
                EXPECT_EQ(server.requests(), 1);
                const auto log = Log(w);
                ASSERT_EQ(log.size(), 1u);
                double offset = 0, delay = 0;
                EXPECT_TRUE(IsResultLine(log[0].text, 2, offset, delay)) << log[0].text;
              });
}

}  // namespace
