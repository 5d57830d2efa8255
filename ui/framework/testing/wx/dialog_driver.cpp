// The dialog test driver over wxWidgets: user actions go through the
// dialog layer's input path, so that PreTranslateMessage sees them.
#include "ui/framework/testing/driver_parts.h"

#include <gtest/gtest.h>
#include <wx/evtloop.h>
#include <wx/listctrl.h>

#include <cstdlib>
#include <fstream>

#include "platform/text_encoding.h"
#include "ui/framework/wx/afx_impl.h"

namespace afxtest {

namespace {

std::string Utf8(const std::string& gbk) { return platform::GbkToUtf8(gbk); }

}  // namespace

bool StillRunning(const AfxModalFrame& frame) {
  for (AfxModalFrame* f : AfxModalStack()) {
    if (f == &frame) return frame.window != nullptr && frame.window->IsModal();
  }
  return false;
}

// ---- Window ---------------------------------------------------------------

std::string Window::Title() const { return frame_.window ? std::string(frame_.window->GetTitle().utf8_str()) : ""; }

CWnd* Window::Control(int id) const {
  if (frame_.dialog == nullptr) return nullptr;
  return AfxDialogAccess::Control(*frame_.dialog, id);
}

bool Window::IsReadOnly(int id) const {
  CWnd* c = Control(id);
  auto* t = c ? dynamic_cast<wxTextCtrl*>(c->GetNativeWindow()) : nullptr;
  EXPECT_NE(t, nullptr) << "no edit box " << id;
  return t && !t->IsEditable();
}

std::vector<std::string> Window::Items(int id) const {
  std::vector<std::string> items;
  CWnd* c = Control(id);
  EXPECT_NE(c, nullptr) << "no control " << id;
  if (c == nullptr) return items;
  wxWindow* w = c->GetNativeWindow();
  if (auto* choice = dynamic_cast<wxChoice*>(w)) {
    for (unsigned i = 0; i < choice->GetCount(); ++i) items.emplace_back(choice->GetString(i).utf8_str());
  } else if (auto* list = dynamic_cast<wxListBox*>(w)) {
    for (unsigned i = 0; i < list->GetCount(); ++i) items.emplace_back(list->GetString(i).utf8_str());
  } else if (auto* view = dynamic_cast<wxListCtrl*>(w)) {
    for (long i = 0; i < view->GetItemCount(); ++i) items.emplace_back(view->GetItemText(i, 0).utf8_str());
  } else {
    ADD_FAILURE() << "control " << id << " has no items";
  }
  return items;
}

int Window::Selection(int id) const {
  CWnd* c = Control(id);
  EXPECT_NE(c, nullptr) << "no control " << id;
  if (c == nullptr) return -1;
  wxWindow* w = c->GetNativeWindow();
  if (auto* choice = dynamic_cast<wxChoice*>(w)) return choice->GetSelection();
  if (auto* list = dynamic_cast<wxListBox*>(w)) return list->GetSelection();
  if (auto* view = dynamic_cast<wxListCtrl*>(w)) {
    return static_cast<int>(view->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED));
  }
  ADD_FAILURE() << "control " << id << " has no selection";
  return -1;
}

void Window::Click(int id) {
  CWnd* c = Control(id);
  if (auto* box = c ? dynamic_cast<wxCheckBox*>(c->GetNativeWindow()) : nullptr) {
    if (!box->IsShownOnScreen() || !box->IsThisEnabled()) {
      ADD_FAILURE() << "check box " << id << " cannot be clicked (hidden or disabled)";
      return;
    }
    box->SetFocus();
    box->SetValue(!box->GetValue());
    wxCommandEvent click(wxEVT_CHECKBOX, id);
    click.SetEventObject(box);
    click.SetInt(box->GetValue());
    box->GetEventHandler()->ProcessEvent(click);
    return;
  }
  auto* button = c ? dynamic_cast<wxButton*>(c->GetNativeWindow()) : nullptr;
  if (button == nullptr) {
    ADD_FAILURE() << "no button " << id;
    return;
  }
  if (!button->IsShownOnScreen() || !button->IsThisEnabled()) {
    ADD_FAILURE() << "button " << id << " cannot be clicked (hidden or disabled)";
    return;
  }
  CDialog& dialog = *frame_.dialog;
  AfxDialogAccess::Input(dialog, c, WM_LBUTTONDOWN);
  button->SetFocus();
  AfxDialogAccess::Input(dialog, c, WM_LBUTTONUP);
  wxCommandEvent click(wxEVT_BUTTON, id);
  click.SetEventObject(button);
  button->GetEventHandler()->ProcessEvent(click);
}

void Window::SetText(int id, const std::string& text) {
  CWnd* c = Control(id);
  auto* edit = c ? dynamic_cast<wxTextCtrl*>(c->GetNativeWindow()) : nullptr;
  if (edit == nullptr) {
    ADD_FAILURE() << "no edit box " << id;
    return;
  }
  edit->SetFocus();
  edit->SetValue(wxString::FromUTF8(text));
  AfxDialogAccess::Input(*frame_.dialog, c, WM_KEYUP);
}

void Window::Select(int id, int index) {
  CWnd* c = Control(id);
  wxWindow* w = c ? c->GetNativeWindow() : nullptr;
  if (auto* choice = dynamic_cast<wxChoice*>(w)) {
    choice->SetSelection(index);
    // The event of a user's choice (and, disabled, an accessibility client's).
    wxCommandEvent chosen(wxEVT_CHOICE, id);
    chosen.SetEventObject(choice);
    chosen.SetInt(index);
    choice->GetEventHandler()->ProcessEvent(chosen);
  } else if (auto* list = dynamic_cast<wxListBox*>(w)) {
    list->SetSelection(index);
  } else if (auto* view = dynamic_cast<wxListCtrl*>(w)) {
    if (index < 0) {
      for (long i = view->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); i >= 0;
           i = view->GetNextItem(i, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED)) {
        view->SetItemState(i, 0, wxLIST_STATE_SELECTED);
      }
    } else {
      view->SetItemState(index, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                         wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    }
  } else {
    ADD_FAILURE() << "control " << id << " has no selection";
    return;
  }
  // The mouse input that a user's selection brings with it.
  AfxDialogAccess::Input(*frame_.dialog, c, WM_LBUTTONDOWN);
  AfxDialogAccess::Input(*frame_.dialog, c, WM_LBUTTONUP);
}

void Window::DoubleClick(int id, int row) {
  Select(id, row);
  AfxDialogAccess::DoubleClick(*frame_.dialog, id);
}

void Window::Key(UINT virtualKey, bool alt) {
  if (IsMessageBox()) {
    wxKeyEvent key(wxEVT_CHAR_HOOK);
    key.m_keyCode = virtualKey == VK_RETURN ? WXK_RETURN : virtualKey == VK_ESCAPE ? WXK_ESCAPE : int(virtualKey);
    key.m_altDown = alt;
    key.SetEventObject(frame_.window);
    frame_.window->GetEventHandler()->ProcessEvent(key);
    return;
  }
  AfxDialogAccess::KeyDown(*frame_.dialog, virtualKey, alt);
}

void Window::Close() {
  if (IsMessageBox()) {
    frame_.window->Close();
  } else {
    frame_.window->Close();
  }
}

void Window::ChooseSystemCommand(UINT command) {
  for (const CMenu::Item& item : SystemMenu()) {
    if (item.id == command && (item.flags & (MF_SEPARATOR | MF_GRAYED)) == 0) {
      AfxDialogAccess::SystemCommand(*frame_.dialog, command);
      return;
    }
  }
  ADD_FAILURE() << "the system menu has no enabled item " << command;
}

std::string Window::ToolTip(int id) const {
  return frame_.dialog ? Utf8(AfxDialogAccess::ToolTipText(*frame_.dialog, id)) : std::string();
}

std::string Window::ShownToolTip(int id) const {
  CWnd* c = Control(id);
  wxWindow* w = c ? c->GetNativeWindow() : nullptr;
  return w ? std::string(w->GetToolTipText().utf8_str()) : std::string();
}

Window::Place Window::Position(int id) const {
  CWnd* c = Control(id);
  Place p;
  if (c && c->GetNativeWindow()) {
    const wxPoint at = c->GetNativeWindow()->GetPosition();
    p.x = at.x;
    p.y = at.y;
  }
  return p;
}

int Window::Caret(int id) const {
  CWnd* c = Control(id);
  auto* edit = c ? dynamic_cast<wxTextCtrl*>(c->GetNativeWindow()) : nullptr;
  return edit ? static_cast<int>(edit->GetInsertionPoint()) : -1;
}

std::vector<Window::Column> Window::Columns(int id) const {
  std::vector<Column> columns;
  CWnd* c = Control(id);
  auto* view = c ? dynamic_cast<wxListCtrl*>(c->GetNativeWindow()) : nullptr;
  if (view == nullptr) return columns;
  for (int i = 0; i < view->GetColumnCount(); ++i) {
    wxListItem item;
    item.SetMask(wxLIST_MASK_TEXT | wxLIST_MASK_WIDTH | wxLIST_MASK_FORMAT);
    if (!view->GetColumn(i, item)) break;
    Column column;
    column.heading = item.GetText().ToStdString(wxConvUTF8);
    column.width = view->GetColumnWidth(i);
    column.format = item.GetAlign() == wxLIST_FORMAT_LEFT ? LVCFMT_LEFT : LVCFMT_LEFT + 1;
    columns.push_back(column);
  }
  return columns;
}

bool Window::IsShown() const { return frame_.window && frame_.window->IsShown(); }
bool Window::IsMinimized() const { return frame_.window && frame_.window->IsIconized(); }
bool Window::IsTopmost() const { return frame_.window && (frame_.window->GetWindowStyleFlag() & wxSTAY_ON_TOP); }

// ---- toolkit --------------------------------------------------------------

void PumpEvents() {
  wxEventLoopBase* loop = wxEventLoopBase::GetActive();
  if (loop != nullptr) {
    loop->YieldFor(wxEVT_CATEGORY_ALL);
  } else {
    wxTheApp->Yield(true);
  }
  wxTheApp->ProcessPendingEvents();
}

namespace {

class TestToolkitApp : public wxApp {
 public:
  bool OnInit() override { return true; }
};

}  // namespace

bool StartToolkit(int& argc, char** argv) {
  if (const char* file = std::getenv("TEMPIOLA_DISPLAY_FILE")) {
    std::ifstream in(file);
    std::string number;
    if (in >> number) setenv("DISPLAY", (":" + number).c_str(), 1);
  }
  // No accessibility bus on a virtual display: without this GTK waits for it.
  setenv("NO_AT_BRIDGE", "1", 1);
  static CWinApp* app = AfxGetApp() ? nullptr : new CWinApp("tempiola");
  (void)app;
  wxApp::SetInstance(new TestToolkitApp);
  return wxEntryStart(argc, argv) && wxTheApp->CallOnInit();
}

void StopToolkit() {
  wxTheApp->OnExit();
  wxEntryCleanup();
}

}  // namespace afxtest
