// The main window on a virtual display: its start-up state, the keys it
// ignores, tool tips, the about and help boxes and the information log.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "log/msg_ring.h"
#include "platform/text_encoding.h"
#include "res/resource.h"
#include "res/strings.h"
#include "signal/transmitter.h"
#include "tests/ui/main_dialog_run.h"
#include "ui/framework/testing/dialog_driver.h"
#include "ui/tempiola_dlg.h"

namespace {

using afxtest::Window;
using ui_test::WithMainDialog;

std::string Utf8(const char* gbk) { return platform::GbkToUtf8(gbk); }

void Log(CTempiolaDlg& dlg, const char* utf8, unsigned char kind) {
  std::string gbk;
  ASSERT_TRUE(platform::Utf8ToGbk(utf8, gbk));
  MsgRingPut(gbk.c_str(), kind, g_msgRing);
  dlg.SendMessage(WM_LOG_LINE, 0, 0);
}

// The shown text without its "hh:mm:ss  " prefix.
std::string Body(const std::string& line) {
  static const std::regex prefix("^[0-9]{2}:[0-9]{2}:[0-9]{2}  ");
  EXPECT_TRUE(std::regex_search(line, prefix)) << line;
  return line.size() >= 10 ? line.substr(10) : line;
}

TEST(MainDialog, StartsIdleWithModeZeroAndTheTitleTheSecondInstanceSearchesFor) {
  WithMainDialog([](Window& w, CTempiolaDlg& dlg) {
    EXPECT_EQ(w.Title(), "Orlavine");
    for (int id : {IDC_CALIBRATE, IDC_QUERY, IDC_MODIFY_SERVERS, IDC_START, IDC_MODE, IDC_STATION, IDC_STANDARD_TIME,
                   IDC_SERVER_LIST, IDC_INFO, IDC_HELP_BUTTON, IDCANCEL}) {
      EXPECT_TRUE(w.IsEnabled(id)) << id;
      EXPECT_TRUE(w.IsVisible(id)) << id;
    }
    EXPECT_FALSE(w.IsEnabled(IDC_STOP));
    EXPECT_FALSE(w.IsVisible(IDC_TEST_START));
    EXPECT_FALSE(w.IsVisible(IDC_TEST_STOP));
    EXPECT_EQ(w.Items(IDC_MODE), std::vector<std::string>{"模式0"});
    EXPECT_EQ(w.Selection(IDC_MODE), 0);
    EXPECT_EQ(w.ItemData(IDC_MODE, 0), 44100u);
    EXPECT_EQ(w.Items(IDC_STATION), (std::vector<std::string>{"BPC", "JJY40", "JJY60", "WWVB", "DCF77", "MSF"}));
    EXPECT_EQ(w.Selection(IDC_STATION), 0);
    EXPECT_EQ(w.ItemData(IDC_STATION, 5), 5u);
    EXPECT_FALSE(w.IsChecked(IDC_STANDARD_TIME));
    EXPECT_TRUE(w.PumpUntil([&] { return w.HasFocus(IDC_CALIBRATE); })) << "the first tab stop has the focus";
    EXPECT_EQ(w.Items(IDC_INFO).size(), 0u);
    EXPECT_EQ(g_hMainDlg, dlg.m_hWnd);
    EXPECT_EQ(dlg.m_resultKind, kLogNtpResult);
    EXPECT_EQ(dlg.m_failKind, kLogNtpFailure);
    ASSERT_NE(dlg.m_hIcon, nullptr);
    EXPECT_EQ(dlg.GetIcon(TRUE), dlg.m_hIcon);
    EXPECT_EQ(dlg.GetIcon(FALSE), dlg.m_hIcon);
    EXPECT_EQ(reinterpret_cast<HICON>(dlg.SendMessage(WM_QUERYDRAGICON)), dlg.m_hIcon);
    // The about item ends the system menu, below a separator.
    const auto menu = w.SystemMenu();
    ASSERT_GE(menu.size(), 4u);
    EXPECT_EQ(menu.front().id, SC_MINIMIZE);
    EXPECT_TRUE(menu[menu.size() - 2].flags & MF_SEPARATOR);
    EXPECT_EQ(menu.back().id, IDM_ABOUTBOX);
    EXPECT_EQ(Utf8(menu.back().text.c_str()), "关于 Tempiola(&A)...");
  });
}

TEST(MainDialog, EscapeAndReturnDoNothingAnywhere) {
  WithMainDialog([](Window& w, CTempiolaDlg& dlg) {
    w.Key(VK_ESCAPE);
    w.Key(VK_RETURN);
    dlg.GetDlgItem(IDCANCEL)->SetFocus();
    w.Key(VK_RETURN);
    dlg.GetDlgItem(IDC_INFO)->SetFocus();
    w.Key(VK_ESCAPE);
    EXPECT_TRUE(w.IsRunning()) << "the dialog is still open";
  });
}

TEST(MainDialog, TheCloseBoxAndTheSystemMenuCloseIt) {
  for (bool byMenu : {false, true}) {
    CTempiolaDlg dlg;
    afxtest::Script script;
    script.Then([&](Window& w) {
      if (byMenu) {
        w.ChooseSystemCommand(SC_CLOSE);
      } else {
        w.Close();
      }
    });
    EXPECT_EQ(script.Run(dlg), IDCANCEL);
  }
}

TEST(MainDialog, ToolTipsNameTheCommandsAndNothingElse) {
  WithMainDialog([](Window& w, CTempiolaDlg&) {
    EXPECT_EQ(w.ToolTip(IDCANCEL), "退出软件");
    EXPECT_EQ(w.ToolTip(IDC_SERVER_LIST), "NTP服务器列表");
    EXPECT_EQ(w.ToolTip(IDC_MODE), "发波模式");
    EXPECT_EQ(w.ToolTip(IDC_STATION), "发波电台：BPC中国、JJY日本、WWVB北美、DCF77德国、MSF英国");
    EXPECT_EQ(w.ToolTip(IDC_STANDARD_TIME), "开始发波时先查询NTP服务器的标准时间，按标准时间发波，不校准本机时间");
    EXPECT_EQ(w.ToolTip(IDC_CALIBRATE), "获取网络标准时间并对电脑校时");
    EXPECT_EQ(w.ToolTip(IDC_QUERY), "只获取网络标准时间并显示时间偏差和网络延时，不对本机校时");
    EXPECT_EQ(w.ToolTip(IDC_MODIFY_SERVERS), "修改、增加、删除NTP服务器地址");
    EXPECT_EQ(w.ToolTip(IDC_START), "开始发波");
    EXPECT_EQ(w.ToolTip(IDC_STOP), "停止发波");
    EXPECT_EQ(w.ToolTip(IDC_HELP_BUTTON), "显示帮助，很重要，请先查看");
    EXPECT_EQ(w.ToolTip(IDC_INFO), "");
    EXPECT_EQ(w.ToolTip(IDC_TEST_STOP), "");
    // On the widgets before the pointer was ever there: the combo boxes
    // never see it enter.
    EXPECT_EQ(w.ShownToolTip(IDC_SERVER_LIST), "NTP服务器列表");
    EXPECT_EQ(w.ShownToolTip(IDC_MODE), "发波模式");
    EXPECT_EQ(w.ShownToolTip(IDC_START), "开始发波");
    EXPECT_EQ(w.ShownToolTip(IDC_INFO), "");
  });
}

TEST(MainDialog, AboutBoxOpensFromTheSystemMenuAndClosesWithReturn) {
  WithMainDialog([](Window& w, CTempiolaDlg&) { w.ChooseSystemCommand(IDM_ABOUTBOX); },
                 [](afxtest::Script& script) {
                   script.Then([](Window& about) {
                     EXPECT_EQ(about.TemplateId(), IDD_ABOUTBOX);
                     EXPECT_EQ(about.Title(), "关于 Tempiola");
                     // The window system hands a new box the focus in its own time.
                     EXPECT_TRUE(about.PumpUntil([&] { return about.HasFocus(IDOK); }));
                     about.Key(VK_RETURN);
                   });
                 });
}

TEST(HelpBox, ShowsTheGuideReadOnlyFromTheTopAndClosesWithEscapeOrOk) {
  WithMainDialog(
      [](Window& w, CTempiolaDlg&) {
        w.Click(IDC_HELP_BUTTON);
        w.Click(IDC_HELP_BUTTON);
      },
      [](afxtest::Script& script) {
        script.Then([](Window& help) {
          EXPECT_EQ(help.TemplateId(), IDD_HELP);
          EXPECT_EQ(help.Title(), "使用帮助");
          EXPECT_TRUE(help.IsReadOnly(IDC_HELP_TEXT));
          const std::string text = help.Text(IDC_HELP_TEXT);
          EXPECT_EQ(text, Utf8(res::kHelpText));
          EXPECT_EQ(text.rfind("软件介绍：\r\n", 0), 0u);
          EXPECT_EQ(help.Caret(IDC_HELP_TEXT), 0) << "shown from its first line";
          help.Key(VK_ESCAPE);
        });
        script.Then([](Window& help) { help.Click(IDOK); });
      });
}

// The language of a user who does not read Chinese, for one test.
struct InEnglish {
  InEnglish() { res::UseLanguage(res::Language::English); }
  ~InEnglish() { res::UseLanguage(res::Language::Chinese); }
};

// Under an English choice the window, its tool tips, menu, log lines and
// boxes speak English; names and the server list (data) read as they are.
TEST(MainDialog, SpeaksEnglishToAUserWhoDoesNotReadChinese) {
  const InEnglish english;
  WithMainDialog(
      [](Window& w, CTempiolaDlg& dlg) {
        EXPECT_EQ(w.Title(), "Orlavine");
        EXPECT_EQ(w.Text(IDC_CALIBRATE), "Set clock");
        EXPECT_EQ(w.Text(IDC_START), "Start");
        EXPECT_EQ(w.Text(IDC_STANDARD_TIME), "Send NTP time");
        EXPECT_EQ(w.Text(IDCANCEL), "Exit");
        EXPECT_EQ(w.Items(IDC_MODE), std::vector<std::string>{"Mode 0"});
        EXPECT_EQ(w.Items(IDC_STATION).front(), "BPC");
        EXPECT_EQ(w.Items(IDC_SERVER_LIST).front(), "#1  114.118.7.161   [中国]");
        EXPECT_EQ(w.ToolTip(IDC_HELP_BUTTON), "Show the help: important, please read it first");
        EXPECT_EQ(w.ToolTip(IDC_STATION),
                  "Station: BPC China, JJY Japan, WWVB North America, DCF77 Germany, MSF United Kingdom");
        EXPECT_EQ(Utf8(w.SystemMenu().back().text.c_str()), "&About Tempiola...");
        dlg.SendMessage(WM_TX_STATUS, kTxCountdown, 12);
        ASSERT_TRUE(w.PumpUntil([&] { return w.Items(IDC_INFO).size() == 1; }));
        EXPECT_EQ(Body(w.Items(IDC_INFO)[0]), "Starting in 12 s");
        w.Click(IDC_HELP_BUTTON);
        w.ChooseSystemCommand(IDM_ABOUTBOX);
        w.Click(IDC_MODIFY_SERVERS);
      },
      [](afxtest::Script& script) {
        script.Then([](Window& help) {
          EXPECT_EQ(help.Title(), "Help");
          EXPECT_EQ(help.Text(IDC_HELP_TEXT).rfind("About:\r\n", 0), 0u);
          help.Click(IDOK);
        });
        script.Then([](Window& about) {
          EXPECT_EQ(about.Title(), "About Tempiola");
          about.Click(IDOK);
        });
        script.Then([](Window& editor) {
          EXPECT_EQ(editor.Title(), "Edit server list");
          EXPECT_EQ(editor.Text(IDC_RESTORE_DEFAULTS), "Built-in list");
          editor.Click(IDC_RESTORE_DEFAULTS);
          editor.Click(IDCANCEL);
        });
        script.Then([](Window& box) {
          ASSERT_TRUE(box.IsMessageBox());
          EXPECT_EQ(box.MessageText(), "Go back to the built-in server list?");
          box.Answer(IDCANCEL);
        });
      });
}

TEST(InformationLog, ALineOfTheSameKindAsTheLastReplacesIt) {
  WithMainDialog([](Window& w, CTempiolaDlg& dlg) {
    Log(dlg, "等待 3 秒开始发波", 5);
    Log(dlg, "等待 2 秒开始发波", 5);
    ASSERT_EQ(w.Items(IDC_INFO).size(), 1u);
    EXPECT_EQ(Body(w.Items(IDC_INFO)[0]), "等待 2 秒开始发波");
    Log(dlg, "获取#1服务器时间 成功！", 8);
    Log(dlg, "获取#1服务器时间 成功！", 0);
    const auto lines = w.Items(IDC_INFO);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(Body(lines[1]), "获取#1服务器时间 成功！");
    EXPECT_EQ(w.ItemData(IDC_INFO, 1), 8u);
    EXPECT_EQ(w.ItemData(IDC_INFO, 2), 0u);
  });
}

TEST(InformationLog, KeepsAtMost128LinesEitherWay) {
  WithMainDialog([](Window& w, CTempiolaDlg& dlg) {
    for (int i = 0; i < 128; ++i) Log(dlg, ("line " + std::to_string(i)).c_str(), static_cast<unsigned char>(i % 2));
    ASSERT_EQ(w.Items(IDC_INFO).size(), 128u);
    // Another kind than the last line's: the first line goes.
    Log(dlg, "new kind", 7);
    auto lines = w.Items(IDC_INFO);
    ASSERT_EQ(lines.size(), 128u);
    EXPECT_EQ(Body(lines.front()), "line 1");
    EXPECT_EQ(Body(lines.back()), "new kind");
    // The same kind as the last line: the last line is replaced, the first stays.
    Log(dlg, "same kind", 7);
    lines = w.Items(IDC_INFO);
    ASSERT_EQ(lines.size(), 128u);
    EXPECT_EQ(Body(lines.front()), "line 1");
    EXPECT_EQ(Body(lines[126]), "line 127");
    EXPECT_EQ(Body(lines.back()), "same kind");
    EXPECT_TRUE(w.PumpUntil([&] { return w.TopIndex(IDC_INFO) > 0; })) << "the list scrolls to the new line";
  });
}

TEST(InformationLog, WParamOneLeavesTheLineInTheRingAndAnEmptyRingShowsNothing) {
  WithMainDialog([](Window& w, CTempiolaDlg& dlg) {
    dlg.SendMessage(WM_LOG_LINE, 0, 0);
    EXPECT_EQ(w.Items(IDC_INFO).size(), 0u);
    std::string gbk;
    ASSERT_TRUE(platform::Utf8ToGbk("停止发波", gbk));
    MsgRingPut(gbk.c_str(), 7, g_msgRing);
    dlg.SendMessage(WM_LOG_LINE, 1, 0);
    EXPECT_EQ(w.Items(IDC_INFO).size(), 0u);
    // The posted way, as producers send it.
    ASSERT_TRUE(PostMessage(g_hMainDlg, WM_LOG_LINE, 0, 0));
    ASSERT_TRUE(w.PumpUntil([&] { return w.Items(IDC_INFO).size() == 1; }));
    EXPECT_EQ(Body(w.Items(IDC_INFO)[0]), "停止发波");
    EXPECT_EQ(w.ItemData(IDC_INFO, 0), 7u);
  });
}

TEST(MainDialog, ActivationRequestRestoresWithoutStayingOnTop) {
  WithMainDialog([](Window& w, CTempiolaDlg& dlg) {
    ASSERT_TRUE(PostMessage(dlg.m_hWnd, WM_ACTIVATE_INSTANCE, 0, 0));
    w.Pump();
    EXPECT_TRUE(w.IsShown());
    EXPECT_FALSE(w.IsMinimized());
    EXPECT_FALSE(w.IsTopmost());
  });
}

}  // namespace
