// The main window driven as a user would through one transmission: the
// modes, start, the countdown, three frames begun, stop. Run in the process
// of the window test on Linux, and in a Windows test program under Wine
// that the Linux test starts.
#pragma once

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "platform/local_time.h"
#include "res/resource.h"
#include "ui/framework/testing/dialog_driver.h"
#include "ui/tempiola_dlg.h"

namespace e2e {

// The last log line without its time prefix, and the prefix's instant
// (within a few seconds of now: the prefix names no date).
struct LastLine {
  std::string text;
  platform::Time64 at = 0;
};

inline LastLine Last(const afxtest::Window& w) {
  const auto items = w.Items(IDC_INFO);
  if (items.empty()) return {};
  static const std::regex pattern("^(\\d\\d):(\\d\\d):(\\d\\d)  (.*)$");
  std::smatch m;
  if (!std::regex_match(items.back(), m, pattern)) return {items.back(), 0};
  LastLine line{m[4], 0};
  const platform::Time64 now = platform::CurrentTime();
  for (platform::Time64 t = now - 5; t <= now + 2; ++t) {
    platform::CivilTime f = platform::ToLocalTime(t);
    if (f.hour == std::stoi(m[1]) && f.minute == std::stoi(m[2]) && f.second == std::stoi(m[3])) line.at = t;
  }
  return line;
}

// The instant the log says the first frame began (0 when the run failed:
// the failure is reported).
inline platform::Time64 TransmitTwoFramesInTheWindow() {
  platform::Time64 firstFrameBegins = 0;
  CTempiolaDlg dlg;
  afxtest::Script script;
  script.Then([&](afxtest::Window& w) {
    // The sound server takes every rate: the device offers the modes of
    // the tone, and the carrier's where it says it opens at 192 kHz (all
    // are added at once).
    ASSERT_TRUE(w.PumpUntil([&] { return w.Items(IDC_MODE).size() >= 3; }, 10000));
    std::vector<std::string> modes = w.Items(IDC_MODE);
    if (modes.size() == 4) {
      EXPECT_EQ(modes.back(), "模式3 (载波)");
    }
    modes.resize(3);
    EXPECT_EQ(modes, (std::vector<std::string>{"模式0", "模式1", "模式2"}));
    w.Click(IDC_START);
    ASSERT_TRUE(w.PumpUntil([&] { return Last(w).text.rfind("等待 ", 0) == 0; }, 10000)) << Last(w).text;
    // The first frame begins within 24 s, each next one when the one
    // before has played whole.
    ASSERT_TRUE(w.PumpUntil([&] { return Last(w).text == "正在发波 1"; }, 30000)) << Last(w).text;
    firstFrameBegins = Last(w).at;
    ASSERT_TRUE(w.PumpUntil([&] { return Last(w).text == "正在发波 2"; }, 30000)) << Last(w).text;
    ASSERT_TRUE(w.PumpUntil([&] { return Last(w).text == "正在发波 3"; }, 30000)) << Last(w).text;
    w.Click(IDC_STOP);
    ASSERT_TRUE(w.PumpUntil([&] { return Last(w).text == "停止发波"; }, 10000)) << Last(w).text;
    EXPECT_TRUE(w.IsEnabled(IDC_START));
    w.Click(IDCANCEL);
  });
  EXPECT_EQ(script.Run(dlg), IDCANCEL);
  return firstFrameBegins;
}

}  // namespace e2e
