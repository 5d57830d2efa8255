// Driving the real dialogs from a GoogleTest test, on a (virtual) display.
//
//   afxtest::Script script;
//   script.Then([](afxtest::Window& w) {          // the dialog has started
//     EXPECT_FALSE(w.IsEnabled(IDC_STOP));
//     w.Click(IDC_HELP_BUTTON);                   // opens the help box and
//     w.Click(IDCANCEL);                          // returns once it is closed
//   });
//   script.Then([](afxtest::Window& help) {       // the help box has started
//     help.Key(VK_RETURN);
//   });
//   CTempiolaDlg dlg;
//   EXPECT_EQ(script.Run(dlg), IDCANCEL);
//
// Each step runs when the next modal loop (dialog or message box) starts,
// inside that loop, on the user-interface thread. A step should end its
// window; one that leaves it open fails the test and the window is
// cancelled. A modal loop with no step left fails the test the same way.
// Texts cross this interface in UTF-8.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "afx_modal.h"
#include "ui/framework/controls.h"
#include "ui/framework/dialog.h"
#include "ui/framework/message_box.h"
#include "ui/framework/winapp.h"

namespace afxtest {

class Window {
 public:
  explicit Window(AfxModalFrame& frame) : frame_(frame) {}

  // Message boxes.
  bool IsMessageBox() const { return frame_.kind == AfxModalFrame::Kind::MessageBox; }
  std::string MessageText() const;  // its text
  UINT MessageType() const { return frame_.type; }
  void Answer(int id);  // IDOK or IDCANCEL, as the user presses it

  // Dialogs.
  CDialog& Dialog() const;
  int TemplateId() const;
  std::string Title() const;

  // Controls by identifier.
  bool Exists(int id) const;
  bool IsEnabled(int id) const;
  bool IsVisible(int id) const;  // shown on the screen
  bool HasFocus(int id) const;
  bool IsReadOnly(int id) const;  // edit box
  bool IsChecked(int id) const;   // check box
  std::string Text(int id) const;
  std::vector<std::string> Items(int id) const;  // combo box, list box; list view: column 0
  int Selection(int id) const;                   // -1: none
  std::uintptr_t ItemData(int id, int index) const;
  int RowCount(int id) const;  // list view
  std::string Cell(int id, int row, int column) const;
  int TopIndex(int id) const;  // list box

  // What a user does. Click fails the test (and does nothing) on a hidden
  // or disabled control.
  void Click(int id);
  void SetText(int id, const std::string& text);
  void Select(int id, int index);       // combo box, list box, list view row
  void DoubleClick(int id, int row);    // list view
  void Key(UINT virtualKey, bool alt = false);
  void Close();                          // the close box
  std::vector<CMenu::Item> SystemMenu() const;
  void ChooseSystemCommand(UINT command);
  std::string ToolTip(int id) const;       // what the dialog answers for the control
  std::string ShownToolTip(int id) const;  // what its widget shows on hovering

  // Where a control stands in the dialog (pixels), the caret of an edit
  // box, the columns of a list view.
  struct Place {
    long x = 0, y = 0;
  };
  Place Position(int id) const;
  int Caret(int id) const;
  struct Column {
    std::string heading;
    int width = 0;
    int format = LVCFMT_LEFT;
  };
  std::vector<Column> Columns(int id) const;
  // The dialog's window: shown, minimised, staying on top.
  bool IsShown() const;
  bool IsMinimized() const;
  bool IsTopmost() const;

  // Runs queued events (posted messages among them) until none is left, or
  // until done() holds (false on time-out).
  void Pump();
  bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000);

  // Its modal loop still runs (not ended yet).
  bool IsRunning() const;
  AfxModalFrame& Frame() const { return frame_; }

 private:
  CWnd* Control(int id) const;
  AfxModalFrame& frame_;
};

class Script : private AfxModalObserver {
 public:
  Script();
  ~Script() override;
  Script(const Script&) = delete;
  Script& operator=(const Script&) = delete;

  Script& Then(std::function<void(Window&)> step);
  // Runs the dialog modally under this script; returns DoModal's result.
  INT_PTR Run(CDialog& dialog);
  std::size_t StepsLeft() const { return steps_.size(); }

 private:
  void OnModalStarted(AfxModalFrame& frame) override;
  std::deque<std::function<void(Window&)>> steps_;
};

// Runs queued events until none is left (outside any modal loop too).
void PumpEvents();

// The toolkit for a test program: DISPLAY comes from the file named by
// TEMPIOLA_DISPLAY_FILE (written by the display fixture) when set.
bool StartToolkit(int& argc, char** argv);
void StopToolkit();

}  // namespace afxtest
