// The server list in the main window and its editor on a virtual display:
// start-up fill, add, modify, delete, restore, OK and Cancel, refused input
// and a save that fails. Each test has its own executable directory, so
// Server.dat never lands beside the real executable.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/text_encoding.h"
#include "res/resource.h"
#include "servers/default_servers.h"
#include "servers/server_file.h"
#include "tests/scratch_dir.h"
#include "tests/servers/refused_save.h"
#include "ui/app_globals.h"
#include "ui/framework/testing/dialog_driver.h"
#include "ui/modify_server_list_dlg.h"
#include "ui/tempiola_dlg.h"

namespace {

using afxtest::Window;

std::string Utf8(const std::string& gbk) { return platform::GbkToUtf8(gbk); }

std::string Gbk(const std::string& utf8) {
  std::string gbk;
  EXPECT_TRUE(platform::Utf8ToGbk(utf8, gbk)) << utf8;
  return gbk;
}

std::vector<std::string> DefaultEntriesUtf8() {
  std::vector<std::string> texts;
  for (const char* text : DefaultServerTable) texts.push_back(Utf8(text));
  return texts;
}

class ServerListWindow : public ScratchDir {
 protected:
  void SetUp() override {
    ScratchDir::SetUp();
    path_ = dir_ + "/Server.dat";
    UseExeDir(dir_ + "/");
  }
  void TearDown() override {
    g_exeDir[0] = '\0';
    ScratchDir::TearDown();
  }

  static void UseExeDir(const std::string& dir) { std::snprintf(g_exeDir, sizeof g_exeDir, "%s", dir.c_str()); }

  void WriteList(const std::vector<ServerRow>& rows) { ASSERT_TRUE(SaveServerFile(path_, rows)); }

  std::vector<std::string> DirEntries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_)) names.push_back(entry.path().filename().string());
    return names;
  }

  // Runs the main dialog: main gets it started and should leave the editor
  // running through its own steps; the dialog is exited afterwards.
  static void WithMainDialog(const std::function<void(Window&, CTempiolaDlg&)>& main,
                             const std::vector<std::function<void(Window&)>>& nested = {}) {
    CTempiolaDlg dlg;
    afxtest::Script script;
    script.Then([&](Window& w) {
      main(w, dlg);
      if (w.IsRunning()) w.Click(IDCANCEL);
    });
    for (const auto& step : nested) script.Then(step);
    EXPECT_EQ(script.Run(dlg), IDCANCEL);
    EXPECT_EQ(script.StepsLeft(), 0u) << "a dialog or box that should have opened did not";
  }

  static std::vector<std::string> Column(Window& w, int column) {
    std::vector<std::string> cells;
    for (int row = 0; row < w.RowCount(IDC_SERVER_TABLE); ++row) cells.push_back(w.Cell(IDC_SERVER_TABLE, row, column));
    return cells;
  }

  static void ExpectNumbered(Window& w) {
    for (int row = 0; row < w.RowCount(IDC_SERVER_TABLE); ++row) {
      EXPECT_EQ(w.Cell(IDC_SERVER_TABLE, row, 0), std::to_string(row + 1)) << "row " << row;
    }
  }

  static std::function<void(Window&)> Answer(const std::string& text, UINT type, int answer) {
    return [=](Window& box) {
      ASSERT_TRUE(box.IsMessageBox());
      EXPECT_EQ(box.MessageText(), text);
      EXPECT_EQ(box.MessageType(), type);
      box.Answer(answer);
    };
  }

  std::string path_;
};

TEST_F(ServerListWindow, WithoutAFileTheBuiltInListIsShownFirstSelectedAndNoFileIsMade) {
  WithMainDialog([](Window& w, CTempiolaDlg&) {
    const auto items = w.Items(IDC_SERVER_LIST);
    ASSERT_EQ(items.size(), 27u);
    EXPECT_EQ(items, DefaultEntriesUtf8());
    EXPECT_EQ(items[0].rfind("#1  ", 0), 0u) << items[0];
    EXPECT_EQ(items[9].rfind("#10 ", 0), 0u) << items[9];
    EXPECT_EQ(items[26].rfind("#27 ", 0), 0u) << items[26];
    EXPECT_EQ(w.Selection(IDC_SERVER_LIST), 0);
  });
  EXPECT_TRUE(DirEntries().empty()) << "the built-in list is not written";
}

TEST_F(ServerListWindow, ASavedListIsShownNumberedForItsLengthAndAnEmptyOneSelectsNothing) {
  WriteList({{"a.example", Gbk("甲")}, {"b.example", ""}});
  WithMainDialog([](Window& w, CTempiolaDlg&) {
    EXPECT_EQ(w.Items(IDC_SERVER_LIST), (std::vector<std::string>{"#1 a.example   [甲]", "#2 b.example   []"}));
    EXPECT_EQ(w.Selection(IDC_SERVER_LIST), 0);
  });

  WriteList({});
  WithMainDialog([](Window& w, CTempiolaDlg&) {
    EXPECT_TRUE(w.Items(IDC_SERVER_LIST).empty());
    EXPECT_EQ(w.Selection(IDC_SERVER_LIST), -1);
  });
}

TEST_F(ServerListWindow, TheEditorStartsFromTheComboBoxAndEnablesModifyAndDeleteOnlyWithASelection) {
  WithMainDialog([](Window& w, CTempiolaDlg&) { w.Click(IDC_MODIFY_SERVERS); },
                 {[&](Window& e) {
                   EXPECT_EQ(e.TemplateId(), IDD_MODIFY_SERVER_LIST);
                   EXPECT_EQ(e.Title(), "修改服务器列表");
                   auto& editor = static_cast<CModifyServerListDlg&>(e.Dialog());
                   EXPECT_EQ(editor.m_listServers.GetExtendedStyle(), 0x21u) << "grid lines and full-row selection";
                   const auto columns = e.Columns(IDC_SERVER_TABLE);
                   ASSERT_EQ(columns.size(), 3u);
                   const char* headings[] = {"序号", "地址", "备注"};
                   const int widths[] = {45, 180, 120};
                   for (int c = 0; c < 3; ++c) {
                     EXPECT_EQ(columns[c].heading, headings[c]);
                     EXPECT_EQ(columns[c].width, widths[c]);
                     EXPECT_EQ(columns[c].format, LVCFMT_LEFT);
                   }

                   ASSERT_EQ(e.RowCount(IDC_SERVER_TABLE), 27);
                   ExpectNumbered(e);
                   const auto defaults = DefaultEntriesUtf8();
                   for (int row = 0; row < 27; ++row) {
                     const std::string address = e.Cell(IDC_SERVER_TABLE, row, 1);
                     const std::string remark = e.Cell(IDC_SERVER_TABLE, row, 2);
                     EXPECT_EQ(address.find_first_of(" #[]"), std::string::npos) << address;
                     EXPECT_EQ(remark.find_first_of("[]"), std::string::npos) << remark;
                     EXPECT_EQ(defaults[row].substr(defaults[row].size() - remark.size() - 2), "[" + remark + "]");
                     EXPECT_NE(defaults[row].find(" " + address + "   ["), std::string::npos) << defaults[row];
                   }
                   EXPECT_EQ(e.Cell(IDC_SERVER_TABLE, 0, 2), "中国");
                   EXPECT_EQ(e.Cell(IDC_SERVER_TABLE, 26, 2), "苹果");

                   EXPECT_FALSE(e.IsEnabled(IDC_MODIFY_SERVER)) << "no row is selected yet";
                   EXPECT_FALSE(e.IsEnabled(IDC_DELETE_SERVER));
                   e.Select(IDC_SERVER_TABLE, 3);
                   EXPECT_TRUE(e.IsEnabled(IDC_MODIFY_SERVER));
                   EXPECT_TRUE(e.IsEnabled(IDC_DELETE_SERVER));
                   for (int id : {IDC_ADD_SERVER, IDC_RESTORE_DEFAULTS, IDOK, IDCANCEL}) EXPECT_TRUE(e.IsEnabled(id)) << id;
                   e.Select(IDC_SERVER_TABLE, -1);
                   EXPECT_FALSE(e.IsEnabled(IDC_MODIFY_SERVER));
                   EXPECT_FALSE(e.IsEnabled(IDC_DELETE_SERVER));
                   e.DoubleClick(IDC_SERVER_TABLE, -1);  // no row: no modify dialog
                   e.Click(IDCANCEL);
                 }});
  EXPECT_TRUE(DirEntries().empty()) << "Cancel writes nothing";
}

TEST_F(ServerListWindow, AddedServersAreAppendedAndOkWritesTheFileTheComboBoxIsRebuiltFrom) {
  WriteList({{"a.example", Gbk("甲")}});
  const std::string longRemark(70, 'r');
  std::string chineseRemark;
  for (int i = 0; i < 40; ++i) chineseRemark += "中";
  WithMainDialog(
      [&](Window& w, CTempiolaDlg&) {
        w.Select(IDC_SERVER_LIST, 0);
        w.Click(IDC_MODIFY_SERVERS);
        const std::vector<std::string> expected = {
            "#1 a.example   [甲]",
            "#2 ntp.example.org   [ my  remark ]",
            "#3 " + std::string(52, 'a') + "   [" + std::string(62, 'r') + "]",
            "#4 b.example   [" + chineseRemark.substr(0, 31 * 3) + "]",
        };
        EXPECT_EQ(w.Items(IDC_SERVER_LIST), expected);
        EXPECT_EQ(w.Selection(IDC_SERVER_LIST), 0);
        // The combo box holds what the file holds.
        std::vector<std::string> fromFile;
        ASSERT_TRUE(ReadServerEntryTexts(path_, fromFile));
        std::vector<std::string> fromFileUtf8;
        for (const auto& text : fromFile) fromFileUtf8.push_back(Utf8(text));
        EXPECT_EQ(fromFileUtf8, expected);
      },
      {
          [](Window& e) {
            e.Click(IDC_ADD_SERVER);
            e.Click(IDC_ADD_SERVER);
            e.Click(IDC_ADD_SERVER);
            ASSERT_EQ(e.RowCount(IDC_SERVER_TABLE), 4);
            ExpectNumbered(e);
            EXPECT_EQ(Column(e, 1),
                      (std::vector<std::string>{"a.example", "ntp.example.org", std::string(52, 'a'), "b.example"}));
            EXPECT_EQ(e.Selection(IDC_SERVER_TABLE), -1) << "an added row is not selected";
            e.Click(IDOK);
            EXPECT_FALSE(e.IsRunning());
          },
          [](Window& add) {
            EXPECT_EQ(add.TemplateId(), IDD_ADD_SERVER);
            EXPECT_EQ(add.Title(), "新增NTP服务器");
            EXPECT_EQ(add.Text(IDC_SERVER_ADDRESS), "");
            EXPECT_EQ(add.Text(IDC_SERVER_REMARK), "");
            EXPECT_TRUE(add.PumpUntil([&] { return add.HasFocus(IDOK); })) << "the first tab stop";
            add.SetText(IDC_SERVER_ADDRESS, " \t ntp.example.org\r\n　");  // ends in a full-width space
            add.SetText(IDC_SERVER_REMARK, " my  remark ");
            add.Click(IDOK);
          },
          [&](Window& add) {
            // The cut to 62 bytes comes before the blanks are removed.
            add.SetText(IDC_SERVER_ADDRESS, std::string(10, ' ') + std::string(60, 'a'));
            add.SetText(IDC_SERVER_REMARK, longRemark);
            add.Click(IDOK);
          },
          [&](Window& add) {
            add.SetText(IDC_SERVER_ADDRESS, "b.example");
            add.SetText(IDC_SERVER_REMARK, chineseRemark);  // 80 bytes in GBK: 31 characters stay
            add.Click(IDOK);
          },
      });

  // The file itself: header, records with their fields at 0 and 128, CRC.
  const std::string bytes = Slurp(path_);
  ASSERT_EQ(bytes.size(), 12u + 256u * 4u);
  EXPECT_EQ(bytes.substr(0, 8), std::string("\x8C\x9C\xBC\xAB\x04\x00\x00\x00", 8));
  EXPECT_STREQ(bytes.c_str() + 8 + 256, "ntp.example.org");
  EXPECT_STREQ(bytes.c_str() + 8 + 256 + 128, " my  remark ");
  EXPECT_EQ(VerifyServerFile(path_), kServerFileUsable);
  EXPECT_EQ(DirEntries(), std::vector<std::string>{"Server.dat"}) << "no temporary file is left";
}

TEST_F(ServerListWindow, ModifyByButtonOrDoubleClickChangesTheRowAndCancelLeavesIt) {
  WriteList({{"a.example", "A"}, {"b.example", "B"}, {"c.example", "C"}});
  WithMainDialog(
      [&](Window& w, CTempiolaDlg&) {
        w.Click(IDC_MODIFY_SERVERS);
        EXPECT_EQ(w.Items(IDC_SERVER_LIST),
                  (std::vector<std::string>{"#1 a.example   [A]", "#2 b2.example   [B2]", "#3 c3.example   []"}));
      },
      {
          [](Window& e) {
            e.Select(IDC_SERVER_TABLE, 1);
            e.Click(IDC_MODIFY_SERVER);
            EXPECT_EQ(Column(e, 1), (std::vector<std::string>{"a.example", "b2.example", "c.example"}));
            EXPECT_EQ(Column(e, 2), (std::vector<std::string>{"A", "B2", "C"}));
            ExpectNumbered(e);

            e.DoubleClick(IDC_SERVER_TABLE, 2);  // answered with Cancel
            EXPECT_EQ(e.Cell(IDC_SERVER_TABLE, 2, 1), "c.example");
            EXPECT_EQ(e.Cell(IDC_SERVER_TABLE, 2, 2), "C");

            e.DoubleClick(IDC_SERVER_TABLE, 2);
            EXPECT_EQ(e.Cell(IDC_SERVER_TABLE, 2, 0), "3") << "the number stays";
            EXPECT_EQ(e.Cell(IDC_SERVER_TABLE, 2, 1), "c3.example");
            EXPECT_EQ(e.Cell(IDC_SERVER_TABLE, 2, 2), "");
            e.Click(IDOK);
          },
          [](Window& modify) {
            EXPECT_EQ(modify.Title(), "修改NTP服务器");
            EXPECT_EQ(modify.Text(IDC_SERVER_ADDRESS), "b.example");
            EXPECT_EQ(modify.Text(IDC_SERVER_REMARK), "B");
            modify.SetText(IDC_SERVER_ADDRESS, " b2.example ");
            modify.SetText(IDC_SERVER_REMARK, "B2");
            modify.Click(IDOK);
          },
          [](Window& modify) {
            EXPECT_EQ(modify.Title(), "修改NTP服务器");
            EXPECT_EQ(modify.Text(IDC_SERVER_ADDRESS), "c.example") << "the double-clicked row";
            EXPECT_EQ(modify.Text(IDC_SERVER_REMARK), "C");
            modify.SetText(IDC_SERVER_ADDRESS, "x.example");
            modify.Click(IDCANCEL);
          },
          [](Window& modify) {
            modify.SetText(IDC_SERVER_ADDRESS, "c3.example");
            modify.SetText(IDC_SERVER_REMARK, "");
            modify.Click(IDOK);
          },
      });
}

TEST_F(ServerListWindow, DeletingAsksFirstAndRenumbersTheRowsAfterTheDeletedOne) {
  WriteList({{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}, {"e", "5"}});
  const std::string question = "确定要删除所选的服务器地址吗？";
  WithMainDialog(
      [](Window& w, CTempiolaDlg&) {
        w.Click(IDC_MODIFY_SERVERS);
        EXPECT_EQ(w.Items(IDC_SERVER_LIST),
                  (std::vector<std::string>{"#1 a   [1]", "#2 b   [2]", "#3 d   [4]", "#4 e   [5]"}));
      },
      {
          [](Window& e) {
            e.Select(IDC_SERVER_TABLE, 2);
            e.Click(IDC_DELETE_SERVER);  // answered with Cancel
            EXPECT_EQ(e.RowCount(IDC_SERVER_TABLE), 5);
            e.Click(IDC_DELETE_SERVER);
            ASSERT_EQ(e.RowCount(IDC_SERVER_TABLE), 4);
            ExpectNumbered(e);
            EXPECT_EQ(Column(e, 1), (std::vector<std::string>{"a", "b", "d", "e"}));
            EXPECT_EQ(Column(e, 2), (std::vector<std::string>{"1", "2", "4", "5"}));
            EXPECT_FALSE(e.IsEnabled(IDC_DELETE_SERVER)) << "the deleted row took the selection with it";
            EXPECT_FALSE(e.IsEnabled(IDC_MODIFY_SERVER));
            e.Click(IDOK);
          },
          Answer(question, MB_OKCANCEL, IDCANCEL),
          Answer(question, MB_OKCANCEL, IDOK),
      });
}

TEST_F(ServerListWindow, DeletingEveryRowWritesAnEmptyListAndEmptiesTheComboBox) {
  WriteList({{"a", "1"}, {"b", "2"}});
  const std::string question = "确定要删除所选的服务器地址吗？";
  WithMainDialog(
      [](Window& w, CTempiolaDlg&) {
        w.Click(IDC_MODIFY_SERVERS);
        EXPECT_TRUE(w.Items(IDC_SERVER_LIST).empty());
        EXPECT_EQ(w.Selection(IDC_SERVER_LIST), -1);
      },
      {
          [](Window& e) {
            e.Select(IDC_SERVER_TABLE, 0);
            e.Click(IDC_DELETE_SERVER);
            e.Select(IDC_SERVER_TABLE, 0);
            e.Click(IDC_DELETE_SERVER);
            EXPECT_EQ(e.RowCount(IDC_SERVER_TABLE), 0);
            e.Click(IDOK);
          },
          Answer(question, MB_OKCANCEL, IDOK),
          Answer(question, MB_OKCANCEL, IDOK),
      });
  EXPECT_EQ(Slurp(path_).size(), 12u);
}

TEST_F(ServerListWindow, RestoringTheBuiltInListThenCancelLeavesComboBoxAndFileAlone) {
  WriteList({{"a.example", "A"}, {"b.example", "B"}});
  const std::string before = Slurp(path_);
  const std::string question = "确定要恢复使用内置默认服务器列表吗？";
  WithMainDialog(
      [](Window& w, CTempiolaDlg&) {
        w.Click(IDC_MODIFY_SERVERS);
        EXPECT_EQ(w.Items(IDC_SERVER_LIST),
                  (std::vector<std::string>{"#1 a.example   [A]", "#2 b.example   [B]"}));
      },
      {
          [](Window& e) {
            e.Click(IDC_RESTORE_DEFAULTS);  // answered with Cancel
            EXPECT_EQ(e.RowCount(IDC_SERVER_TABLE), 2);
            e.Click(IDC_RESTORE_DEFAULTS);
            ASSERT_EQ(e.RowCount(IDC_SERVER_TABLE), 27);
            ExpectNumbered(e);
            EXPECT_EQ(e.Cell(IDC_SERVER_TABLE, 11, 2), "阿里云");
            e.Click(IDCANCEL);
          },
          Answer(question, MB_OKCANCEL, IDCANCEL),
          Answer(question, MB_OKCANCEL, IDOK),
      });
  EXPECT_EQ(Slurp(path_), before);
}

TEST_F(ServerListWindow, RestoringTheBuiltInListThenOkWritesItAndTheNextStartShowsItFromTheFile) {
  WriteList({{"a.example", "A"}});
  WithMainDialog([](Window& w, CTempiolaDlg&) { w.Click(IDC_MODIFY_SERVERS); },
                 {
                     [](Window& e) {
                       e.Click(IDC_RESTORE_DEFAULTS);
                       e.Click(IDOK);
                     },
                     [](Window& box) { box.Answer(IDOK); },
                 });
  EXPECT_EQ(Slurp(path_).size(), 12u + 256u * 27u);
  WithMainDialog([](Window& w, CTempiolaDlg&) { EXPECT_EQ(w.Items(IDC_SERVER_LIST), DefaultEntriesUtf8()); });
}

TEST_F(ServerListWindow, AnEmptyAddressOrABracketThatWouldNotReadBackIsRefusedWithTheFocusOnIt) {
  WithMainDialog(
      [](Window& w, CTempiolaDlg&) {
        w.Click(IDC_MODIFY_SERVERS);
        EXPECT_EQ(w.Items(IDC_SERVER_LIST).size(), 27u) << "Cancel in the editor";
      },
      {
          [](Window& e) {
            e.Click(IDC_ADD_SERVER);
            EXPECT_EQ(e.RowCount(IDC_SERVER_TABLE), 28);
            EXPECT_EQ(e.Cell(IDC_SERVER_TABLE, 27, 1), "x.example");
            EXPECT_EQ(e.Cell(IDC_SERVER_TABLE, 27, 2), "") << "a remark may be empty";
            e.Click(IDCANCEL);
          },
          [](Window& add) {
            add.SetText(IDC_SERVER_ADDRESS, " \t\r\n\x7f　 ");
            add.Click(IDOK);  // the box below
            EXPECT_TRUE(add.IsRunning()) << "the dialog stays open";
            EXPECT_TRUE(add.PumpUntil([&] { return add.HasFocus(IDC_SERVER_ADDRESS); }))
                << "the focus is back on the address";
            add.SetText(IDC_SERVER_ADDRESS, "");
            add.Click(IDOK);  // and again
            EXPECT_TRUE(add.IsRunning());
            // The entry text has no escape for these.
            add.SetText(IDC_SERVER_ADDRESS, "x[1].example");
            add.Click(IDOK);
            EXPECT_TRUE(add.IsRunning());
            add.SetText(IDC_SERVER_ADDRESS, "x.example");
            add.SetText(IDC_SERVER_REMARK, "a]b");
            add.Click(IDOK);
            EXPECT_TRUE(add.IsRunning());
            EXPECT_TRUE(add.PumpUntil([&] { return add.HasFocus(IDC_SERVER_REMARK); }));
            add.SetText(IDC_SERVER_REMARK, "");
            add.Click(IDOK);
            EXPECT_FALSE(add.IsRunning());
          },
          Answer("请输入NTP服务器地址!", MB_OK, IDOK),
          Answer("请输入NTP服务器地址!", MB_OK, IDOK),
          Answer("服务器地址不能包含“[”!", MB_OK, IDOK),
          Answer("备注不能包含“]”!", MB_OK, IDOK),
      });
}

TEST_F(ServerListWindow, AFailedSaveKeepsTheEditorOpenWithItsRowsAndTheOldFileWhole) {
  WriteList({{"a.example", "A"}, {"b.example", "B"}});
  const std::string before = Slurp(path_);
  const std::string failed = "保存服务器列表失败！\r\n服务器列表文件：" + path_;
  // A disk that fills up, or another program holding the file (for root too).
  std::unique_ptr<RefusedSave> refused;
  WithMainDialog(
      [&](Window& w, CTempiolaDlg&) {
        w.Click(IDC_MODIFY_SERVERS);
        EXPECT_EQ(w.Items(IDC_SERVER_LIST).size(), 27u) << "the second OK saved";
      },
      {
          [&](Window& e) {
            e.Click(IDC_RESTORE_DEFAULTS);
            refused = std::make_unique<RefusedSave>(path_);
            e.Click(IDOK);  // fails: the box below
            refused.reset();
            EXPECT_TRUE(e.IsRunning()) << "the editor stays open";
            EXPECT_EQ(e.RowCount(IDC_SERVER_TABLE), 27) << "the edits are still there";
            EXPECT_EQ(Slurp(path_), before) << "the old file is untouched";
            EXPECT_EQ(DirEntries(), std::vector<std::string>{"Server.dat"}) << "no temporary file is left";
            e.Click(IDOK);  // room again
            EXPECT_FALSE(e.IsRunning());
          },
          Answer("确定要恢复使用内置默认服务器列表吗？", MB_OKCANCEL, IDOK),
          Answer(failed, MB_OK, IDOK),
      });
  EXPECT_EQ(Slurp(path_).size(), 12u + 256u * 27u);
}

TEST_F(ServerListWindow, ASaveToADirectoryOrAMissingFolderFailsWithTheBoxAndChangesNothing) {
  // The box names the file it could not write.
  const auto failed = [](const std::string& path) { return "保存服务器列表失败！\r\n服务器列表文件：" + path; };
  auto cancelAfterFailedOk = [](Window& e) {
    e.Click(IDC_ADD_SERVER);
    e.Click(IDOK);
    EXPECT_TRUE(e.IsRunning());
    EXPECT_EQ(e.RowCount(IDC_SERVER_TABLE), 28);
    e.Click(IDCANCEL);
  };
  auto addOne = [](Window& add) {
    add.SetText(IDC_SERVER_ADDRESS, "x.example");
    add.Click(IDOK);
  };

  // Server.dat is a directory: it stays one, with what it holds.
  std::filesystem::create_directory(path_);
  { std::ofstream(path_ + "/keep") << "kept"; }
  WithMainDialog(
      [](Window& w, CTempiolaDlg&) {
        w.Click(IDC_MODIFY_SERVERS);
        EXPECT_EQ(w.Items(IDC_SERVER_LIST), DefaultEntriesUtf8());
      },
      {cancelAfterFailedOk, addOne, Answer(failed(path_), MB_OK, IDOK)});
  EXPECT_TRUE(std::filesystem::is_directory(path_));
  EXPECT_EQ(Slurp(path_ + "/keep"), "kept");
  EXPECT_EQ(DirEntries(), std::vector<std::string>{"Server.dat"});

  // The executable's folder is gone.
  UseExeDir(dir_ + "/gone/");
  WithMainDialog([](Window& w, CTempiolaDlg&) { w.Click(IDC_MODIFY_SERVERS); },
                 {cancelAfterFailedOk, addOne, Answer(failed(dir_ + "/gone/Server.dat"), MB_OK, IDOK)});
  EXPECT_FALSE(std::filesystem::exists(dir_ + "/gone"));
}

}  // namespace
