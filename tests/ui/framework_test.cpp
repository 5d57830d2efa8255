// The dialog layer on real widgets: modal runs and their results, the keys
// a dialog reacts to, message maps, posted messages, controls, message
// boxes and the report of an exception that escapes a handler.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "res/resource.h"
#include "ui/framework/testing/dialog_driver.h"

namespace {

constexpr UINT WM_PROBE = WM_USER + 5;

// Template 132: OK (default), Cancel, two edits 1019 and 1020.
class ProbeDlg : public CDialog {
 public:
  ProbeDlg() : CDialog(IDD_ADD_SERVER) {}
  CEdit m_edit;
  int probes = 0;
  WPARAM lastW = 0;
  LPARAM lastL = 0;
  int destroyed = 0;
  bool throwOnProbe = false;

 protected:
  void DoDataExchange(CDataExchange* dx) override {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_SERVER_ADDRESS, m_edit);
  }
  afx_msg LRESULT OnProbe(WPARAM w, LPARAM l) {
    if (throwOnProbe) throw new CException;
    ++probes;
    lastW = w;
    lastL = l;
    return 0;
  }
  afx_msg LRESULT OnProbeAgain(WPARAM, LPARAM) {
    ADD_FAILURE() << "a later row ran although an earlier one matched";
    return 0;
  }
  afx_msg void OnDestroy() {
    CDialog::OnDestroy();
    ++destroyed;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ProbeDlg, CDialog)
  ON_MESSAGE(WM_PROBE, &ProbeDlg::OnProbe)
  ON_MESSAGE(WM_PROBE, &ProbeDlg::OnProbeAgain)
  ON_WM_DESTROY()
END_MESSAGE_MAP()

// A derived class's row comes before its base's.
class DerivedProbeDlg : public ProbeDlg {
 public:
  int derivedProbes = 0;

 protected:
  afx_msg LRESULT OnDerivedProbe(WPARAM, LPARAM) {
    ++derivedProbes;
    return 0;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedProbeDlg, ProbeDlg)
  ON_MESSAGE(WM_PROBE, &DerivedProbeDlg::OnDerivedProbe)
END_MESSAGE_MAP()

TEST(DialogRun, OkCancelAndTheKeysEndTheDialogWithTheirResults) {
  struct Case {
    const char* name;
    std::function<void(afxtest::Window&)> act;
    INT_PTR expected;
  };
  const Case cases[] = {
      {"OK button", [](afxtest::Window& w) { w.Click(IDOK); }, IDOK},
      {"Cancel button", [](afxtest::Window& w) { w.Click(IDCANCEL); }, IDCANCEL},
      {"Escape", [](afxtest::Window& w) { w.Key(VK_ESCAPE); }, IDCANCEL},
      {"Return (default button)", [](afxtest::Window& w) { w.Key(VK_RETURN); }, IDOK},
      {"close box", [](afxtest::Window& w) { w.Close(); }, IDCANCEL},
      {"system menu close", [](afxtest::Window& w) { w.ChooseSystemCommand(SC_CLOSE); }, IDCANCEL},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ProbeDlg dlg;
    afxtest::Script script;
    script.Then(c.act);
    EXPECT_EQ(script.Run(dlg), c.expected);
    EXPECT_EQ(dlg.destroyed, 1);
    EXPECT_EQ(dlg.m_hWnd, 0u);
  }
}

TEST(DialogRun, ReturnOnAFocusedButtonPressesThatButton) {
  ProbeDlg dlg;
  afxtest::Script script;
  script.Then([](afxtest::Window& w) {
    w.Dialog().GetDlgItem(IDCANCEL)->SetFocus();
    w.Key(VK_RETURN);
  });
  EXPECT_EQ(script.Run(dlg), IDCANCEL);
}

TEST(DialogRun, BuildsTheTemplateItemsInOrderWithTheTemplateTexts) {
  ProbeDlg dlg;
  afxtest::Script script;
  script.Then([](afxtest::Window& w) {
    EXPECT_EQ(w.TemplateId(), IDD_ADD_SERVER);
    EXPECT_EQ(w.Title(), "新增NTP服务器");
    EXPECT_EQ(w.Text(IDOK), "确定");
    EXPECT_EQ(w.Text(IDCANCEL), "取消");
    EXPECT_TRUE(w.IsVisible(IDC_SERVER_ADDRESS));
    EXPECT_TRUE(w.PumpUntil([&] { return w.HasFocus(IDOK); })) << "the first tab stop takes the focus";
    // The dialog-unit layout keeps the template's proportions.
    EXPECT_LT(w.Position(IDOK).x, w.Position(IDCANCEL).x);
    EXPECT_EQ(w.Position(IDOK).y, w.Position(IDCANCEL).y);
    w.Click(IDCANCEL);
  });
  script.Run(dlg);
}

TEST(MessageMap, PostedMessagesReachTheFirstMatchingRowFromAnyThread) {
  DerivedProbeDlg derived;
  afxtest::Script script;
  script.Then([&](afxtest::Window& w) {
    const HWND hwnd = w.Dialog().m_hWnd;
    std::thread poster([hwnd] { EXPECT_TRUE(PostMessage(hwnd, WM_PROBE, 7, -3)); });
    poster.join();
    EXPECT_TRUE(w.PumpUntil([&] { return derived.derivedProbes == 1; }));
    EXPECT_EQ(derived.probes, 0) << "the derived class's row comes first";
    w.Click(IDCANCEL);
  });
  script.Run(derived);

  ProbeDlg dlg;
  HWND closed = 0;
  afxtest::Script second;
  second.Then([&](afxtest::Window& w) {
    closed = w.Dialog().m_hWnd;
    std::thread poster([closed] {
      for (int i = 0; i < 50; ++i) PostMessage(closed, WM_PROBE, static_cast<WPARAM>(i), i * 2);
    });
    poster.join();
    EXPECT_TRUE(w.PumpUntil([&] { return dlg.probes == 50; }));
    EXPECT_EQ(dlg.lastW, 49u);
    EXPECT_EQ(dlg.lastL, 98);
    w.Click(IDOK);
  });
  second.Run(dlg);
  EXPECT_FALSE(PostMessage(closed, WM_PROBE, 0, 0)) << "a post to a closed dialog is dropped";
}

TEST(MessageMap, AnExceptionEscapingAHandlerIsReportedAndTheDialogGoesOn) {
  ProbeDlg dlg;
  dlg.throwOnProbe = true;
  afxtest::Script script;
  script
      .Then([&](afxtest::Window& w) {
        w.Dialog().PostMessage(WM_PROBE, 1, 2);
        w.Pump();  // the handler throws; the report's box runs as the next step
        dlg.throwOnProbe = false;
        w.Dialog().PostMessage(WM_PROBE, 3, 4);
        EXPECT_TRUE(w.PumpUntil([&] { return dlg.probes == 1; }));
        w.Click(IDOK);
      })
      .Then([](afxtest::Window& box) {
        ASSERT_TRUE(box.IsMessageBox());
        EXPECT_EQ(box.MessageText(), "内部应用程序错误。");
        box.Answer(IDOK);
      });
  EXPECT_EQ(script.Run(dlg), IDOK);
}

TEST(Controls, TextIsCutToTheBufferOnACharacterBoundary) {
  ProbeDlg dlg;
  afxtest::Script script;
  script.Then([&](afxtest::Window& w) {
    w.SetText(IDC_SERVER_ADDRESS, "ab中文cd");  // GBK: a b D6D0 CEC4 c d
    char buffer[8];
    EXPECT_EQ(w.Dialog().GetDlgItemText(IDC_SERVER_ADDRESS, buffer, 8), 7u);
    EXPECT_STREQ(buffer, "ab\xD6\xD0\xCE\xC4" "c");
    EXPECT_EQ(dlg.m_edit.GetWindowText(buffer, 5), 4) << "never half a character";
    EXPECT_STREQ(buffer, "ab\xD6\xD0");
    EXPECT_EQ(dlg.m_edit.GetWindowText(buffer, 1), 0);
    EXPECT_STREQ(buffer, "");
    dlg.m_edit.SetWindowText("\xB1\xB8\xD7\xA2");  // 备注
    EXPECT_EQ(w.Text(IDC_SERVER_ADDRESS), "备注") << "DDX_Control binds the member to the control";
    w.Dialog().GetDlgItem(IDC_SERVER_REMARK)->EnableWindow(FALSE);
    EXPECT_FALSE(w.IsEnabled(IDC_SERVER_REMARK));
    w.Click(IDOK);
  });
  script.Run(dlg);
}

TEST(MessageBox, ReturnsOkOrCancelAsAnswered) {
  afxtest::Script script;
  script.Then([](afxtest::Window& box) {
    EXPECT_EQ(box.MessageText(), "一\r\n二");
    EXPECT_EQ(box.MessageType(), MB_OKCANCEL);
    box.Answer(IDCANCEL);
  });
  script.Then([](afxtest::Window& box) { box.Answer(IDOK); });
  script.Then([](afxtest::Window& box) { box.Key(VK_ESCAPE); });
  script.Then([](afxtest::Window& box) { box.Key(VK_ESCAPE); });
  EXPECT_EQ(AfxMessageBox("\xD2\xBB\r\n\xB6\xFE", MB_OKCANCEL), IDCANCEL);
  EXPECT_EQ(AfxMessageBox("ok", MB_OKCANCEL), IDOK);
  EXPECT_EQ(AfxMessageBox("escape", MB_OKCANCEL), IDCANCEL);
  EXPECT_EQ(AfxMessageBox("escape", MB_OK), IDOK) << "a box with OK only answers Escape with OK";
}

}  // namespace

namespace {

// Template 131: a list view (1015) whose selection enables two buttons
// through command-state update rows, as an editor of rows would have it.
class RowsDlg : public CDialog {
 public:
  RowsDlg() : CDialog(IDD_MODIFY_SERVER_LIST) {}
  CListCtrl m_list;
  int doubleClicks = 0;
  int clickedRow = -2;
  int adds = 0;

 protected:
  void DoDataExchange(CDataExchange* dx) override {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_SERVER_TABLE, m_list);
  }
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    m_list.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    m_list.InsertColumn(0, "No.", LVCFMT_LEFT, 45);
    m_list.InsertColumn(1, "Address", LVCFMT_LEFT, 180);
    for (const char* address : {"a.example", "b.example", "c.example"}) {
      const int row = m_list.InsertItem(65535, "");
      m_list.SetItemText(row, 1, address);
    }
    return TRUE;
  }
  BOOL PreTranslateMessage(MSG* msg) override {
    UpdateDialogControls(this, FALSE);
    return CDialog::PreTranslateMessage(msg);
  }
  afx_msg void OnUpdateNeedSelection(CCmdUI* ui) { ui->Enable(m_list.GetFirstSelectedItemPosition() != nullptr); }
  afx_msg void OnDblclk(NMHDR* header, LRESULT* result) {
    ++doubleClicks;
    EXPECT_EQ(header->code, NM_DBLCLK);
    EXPECT_EQ(header->idFrom, static_cast<UINT_PTR>(IDC_SERVER_TABLE));
    POSITION pos = m_list.GetFirstSelectedItemPosition();
    clickedRow = pos ? m_list.GetNextSelectedItem(pos) : -1;
    *result = 0;
  }
  afx_msg void OnAdd() { ++adds; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(RowsDlg, CDialog)
  ON_BN_CLICKED(IDC_ADD_SERVER, &RowsDlg::OnAdd)
  ON_NOTIFY(NM_DBLCLK, IDC_SERVER_TABLE, &RowsDlg::OnDblclk)
  ON_UPDATE_COMMAND_UI(IDC_DELETE_SERVER, &RowsDlg::OnUpdateNeedSelection)
  ON_UPDATE_COMMAND_UI(IDC_MODIFY_SERVER, &RowsDlg::OnUpdateNeedSelection)
END_MESSAGE_MAP()

TEST(CommandState, UpdateRowsFollowTheSelectionAtTheNextInput) {
  RowsDlg dlg;
  afxtest::Script script;
  script.Then([&](afxtest::Window& w) {
    w.Click(IDC_ADD_SERVER);  // any input runs the update rows
    EXPECT_EQ(dlg.adds, 1);
    EXPECT_FALSE(w.IsEnabled(IDC_MODIFY_SERVER));
    EXPECT_FALSE(w.IsEnabled(IDC_DELETE_SERVER));
    EXPECT_TRUE(w.IsEnabled(IDC_RESTORE_DEFAULTS)) << "a control without a row is left alone";
    w.Select(IDC_SERVER_TABLE, 1);
    EXPECT_TRUE(w.IsEnabled(IDC_MODIFY_SERVER));
    EXPECT_TRUE(w.IsEnabled(IDC_DELETE_SERVER));
    w.Select(IDC_SERVER_TABLE, -1);
    EXPECT_FALSE(w.IsEnabled(IDC_DELETE_SERVER));
    w.DoubleClick(IDC_SERVER_TABLE, 2);
    EXPECT_EQ(dlg.doubleClicks, 1);
    EXPECT_EQ(dlg.clickedRow, 2);
    w.Click(IDCANCEL);
  });
  script.Run(dlg);
}

TEST(Controls, ListViewRowsAppendDeleteAndCutTheirText) {
  RowsDlg dlg;
  afxtest::Script script;
  script.Then([&](afxtest::Window& w) {
    CListCtrl& list = dlg.m_list;
    EXPECT_EQ(list.GetExtendedStyle(), LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    ASSERT_EQ(w.RowCount(IDC_SERVER_TABLE), 3);
    EXPECT_EQ(w.Cell(IDC_SERVER_TABLE, 2, 1), "c.example") << "65535 appends";
    EXPECT_FALSE(list.SetItemText(3, 1, "x")) << "no such row";
    EXPECT_FALSE(list.SetItemText(0, 2, "x")) << "no such column";
    char buffer[4];
    EXPECT_EQ(list.GetItemText(0, 1, buffer, sizeof buffer), 3);
    EXPECT_STREQ(buffer, "a.e");
    list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    list.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
    POSITION pos = list.GetFirstSelectedItemPosition();
    EXPECT_EQ(list.GetNextSelectedItem(pos), 2) << "single selection: the last one chosen";
    EXPECT_EQ(pos, nullptr);
    EXPECT_TRUE(list.DeleteItem(1));
    EXPECT_EQ(w.Cell(IDC_SERVER_TABLE, 1, 1), "c.example");
    EXPECT_FALSE(list.DeleteItem(5));
    EXPECT_TRUE(list.DeleteAllItems());
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_EQ(list.GetFirstSelectedItemPosition(), nullptr);
    w.Click(IDCANCEL);
  });
  script.Run(dlg);
}

TEST(Controls, ComboAndListBoxItemsKeepTheirOrderAndData) {
  CDialog dlg(IDD_MAIN);
  afxtest::Script script;
  script.Then([&](afxtest::Window& w) {
    auto& combo = *static_cast<CComboBox*>(dlg.GetDlgItem(IDC_SERVER_LIST));
    EXPECT_EQ(combo.GetCurSel(), CB_ERR);
    EXPECT_EQ(combo.AddString("b"), 0);
    EXPECT_EQ(combo.AddString("a"), 1) << "not sorted";
    EXPECT_NE(combo.SetItemData(1, 48000), CB_ERR);
    EXPECT_EQ(combo.GetItemData(1), 48000u);
    EXPECT_EQ(combo.SetItemData(2, 1), CB_ERR);
    EXPECT_EQ(combo.SetCurSel(1), 1);
    char text[8];
    EXPECT_EQ(combo.GetLBText(0, text), 1);
    EXPECT_STREQ(text, "b");
    EXPECT_EQ(w.Text(IDC_SERVER_LIST), "a") << "a drop-down list's text is its selection";
    EXPECT_EQ(combo.SetCurSel(7), CB_ERR);
    EXPECT_EQ(combo.GetCurSel(), CB_ERR);
    combo.ResetContent();
    EXPECT_EQ(combo.GetCount(), 0);

    auto& list = *static_cast<CListBox*>(dlg.GetDlgItem(IDC_INFO));
    EXPECT_EQ(list.InsertString(-1, "z"), 0);
    EXPECT_EQ(list.InsertString(-1, "a"), 1) << "appended, whatever the sort style";
    list.SetItemData(1, 200);
    EXPECT_EQ(list.GetItemData(1), 200u);
    EXPECT_EQ(list.GetItemData(0), 0u);
    EXPECT_EQ(list.DeleteString(0), 1);
    EXPECT_EQ(w.Items(IDC_INFO), std::vector<std::string>{"a"});
    EXPECT_EQ(list.DeleteString(3), LB_ERR);
    w.Click(IDCANCEL);
  });
  script.Run(dlg);
}

TEST(WaitCursor, ShownBetweenBeginAndEnd) {
  CDialog dlg(IDD_ABOUTBOX);
  afxtest::Script script;
  script.Then([&](afxtest::Window& w) {
    EXPECT_FALSE(AfxWaitCursorShown());
    dlg.BeginWaitCursor();
    EXPECT_TRUE(AfxWaitCursorShown());
    dlg.EndWaitCursor();
    EXPECT_FALSE(AfxWaitCursorShown());
    dlg.EndWaitCursor();  // unbalanced: harmless
    w.Key(VK_RETURN);
  });
  EXPECT_EQ(script.Run(dlg), IDOK);
}

}  // namespace
