// The dialog test driver over the system's own windows: user actions are
// delivered as the modal loop delivers queued input, so that
// PreTranslateMessage and the dialog keys see them.
#include "ui/framework/testing/driver_parts.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/text_encoding.h"
#include "ui/framework/win32/system_calls.h"

namespace afxtest {

namespace {

constexpr UINT kWmKeyDown = 0x0100, kWmKeyUp = 0x0101, kWmSysKeyDown = 0x0104, kWmLButtonDown = 0x0201,
               kWmLButtonUp = 0x0202, kWmSetText = 0x000C;
constexpr std::uint32_t kEsReadOnly = 0x0800;
constexpr std::uint32_t kWsExTopmost = 0x0008;

std::string Utf8(const std::string& gbk) { return platform::GbkToUtf8(gbk); }

LPARAM Point(long x, long y) { return static_cast<LPARAM>((y << 16) | (x & 0xFFFF)); }

}  // namespace

bool StillRunning(const AfxModalFrame& frame) {
  for (AfxModalFrame* f : AfxModalStack()) {
    if (f == &frame) return frame.running && !AfxModalEnded(frame);
  }
  return false;
}

// ---- Window ---------------------------------------------------------------

std::string Window::Title() const {
  return frame_.window ? Utf8(w32::Gbk(w32::Text(frame_.window))) : std::string();
}

CWnd* Window::Control(int id) const { return frame_.dialog ? frame_.dialog->GetDlgItem(id) : nullptr; }

bool Window::IsReadOnly(int id) const {
  CWnd* c = Control(id);
  auto* edit = dynamic_cast<CEdit*>(c);
  EXPECT_NE(edit, nullptr) << "no edit box " << id;
  return edit && edit->GetNativeWindow() && (w32::Style(edit->GetNativeWindow()) & kEsReadOnly) != 0;
}

std::vector<std::string> Window::Items(int id) const {
  std::vector<std::string> items;
  CWnd* c = Control(id);
  EXPECT_NE(c, nullptr) << "no control " << id;
  CString text;
  if (auto* combo = dynamic_cast<CComboBox*>(c)) {
    for (int i = 0; i < combo->GetCount(); ++i) {
      combo->GetLBText(i, text);
      items.push_back(Utf8(text.GetString()));
    }
  } else if (auto* list = dynamic_cast<CListBox*>(c)) {
    for (int i = 0; i < list->GetCount(); ++i) {
      list->GetText(i, text);
      items.push_back(Utf8(text.GetString()));
    }
  } else if (auto* view = dynamic_cast<CListCtrl*>(c)) {
    for (int i = 0; i < view->GetItemCount(); ++i) items.push_back(Utf8(view->GetItemText(i, 0).GetString()));
  } else if (c) {
    ADD_FAILURE() << "control " << id << " has no items";
  }
  return items;
}

int Window::Selection(int id) const {
  CWnd* c = Control(id);
  EXPECT_NE(c, nullptr) << "no control " << id;
  if (auto* combo = dynamic_cast<CComboBox*>(c)) return combo->GetCurSel();
  if (auto* list = dynamic_cast<CListBox*>(c)) return list->GetCurSel();
  if (auto* view = dynamic_cast<CListCtrl*>(c)) {
    POSITION p = view->GetFirstSelectedItemPosition();
    return p ? view->GetNextSelectedItem(p) : -1;
  }
  if (c) ADD_FAILURE() << "control " << id << " has no selection";
  return -1;
}

void Window::Click(int id) {
  CWnd* c = Control(id);
  AfxNativeWindow* button = c ? c->GetNativeWindow() : nullptr;
  if (button == nullptr || !w32::IsButton(button)) {
    ADD_FAILURE() << "no button " << id;
    return;
  }
  if (!c->IsWindowVisible() || !c->IsWindowEnabled()) {
    ADD_FAILURE() << "button " << id << " cannot be clicked (hidden or disabled)";
    return;
  }
  // A press and release at its middle, as the mouse queues them.
  long x = 0, y = 0;
  w32::Center(button, &x, &y);
  AfxDeliverInput(*frame_.dialog, button, kWmLButtonDown, 1, Point(x, y));
  AfxDeliverInput(*frame_.dialog, button, kWmLButtonUp, 0, Point(x, y));
}

void Window::SetText(int id, const std::string& text) {
  auto* edit = dynamic_cast<CEdit*>(Control(id));
  if (edit == nullptr || edit->GetNativeWindow() == nullptr) {
    ADD_FAILURE() << "no edit box " << id;
    return;
  }
  edit->SetFocus();
  std::string gbk;
  platform::Utf8ToGbk(text, gbk);
  const std::wstring wide = w32::Wide(gbk.c_str());
  w32::Send(edit->GetNativeWindow(), kWmSetText, 0, reinterpret_cast<std::intptr_t>(wide.c_str()));
  AfxDeliverInput(*frame_.dialog, edit->GetNativeWindow(), kWmKeyUp, 0, 0);
}

void Window::Select(int id, int index) {
  CWnd* c = Control(id);
  if (auto* combo = dynamic_cast<CComboBox*>(c)) {
    combo->SetCurSel(index);
    // The combo box tells its dialog, as it does for a user's choice (and,
    // disabled, for an accessibility client's).
    w32::Send(frame_.window, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), static_cast<WORD>(CBN_SELCHANGE)),
              reinterpret_cast<std::intptr_t>(c->GetNativeWindow()));
  } else if (auto* list = dynamic_cast<CListBox*>(c)) {
    list->SetCurSel(index);
  } else if (auto* view = dynamic_cast<CListCtrl*>(c)) {
    for (int i = 0; i < view->GetItemCount(); ++i) {
      if (i != index) view->SetItemState(i, 0, LVIS_SELECTED | LVIS_FOCUSED);
    }
    if (index >= 0) view->SetItemState(index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  } else {
    ADD_FAILURE() << "control " << id << " has no selection";
    return;
  }
  // The mouse input that a user's selection brings with it, as
  // PreTranslateMessage sees it (the selection itself is made above).
  MSG msg{c->m_hWnd, kWmLButtonDown, 1, 0, 0, {0, 0}};
  frame_.dialog->PreTranslateMessage(&msg);
  msg.message = kWmLButtonUp;
  frame_.dialog->PreTranslateMessage(&msg);
}

void Window::DoubleClick(int id, int row) {
  Select(id, row);
  CWnd* c = Control(id);
  if (c == nullptr) return;
  // The list view tells its dialog of the double click (NM_DBLCLK).
  NMHDR header{c->m_hWnd, static_cast<UINT_PTR>(id), NM_DBLCLK};
  frame_.dialog->SendMessage(WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&header));
}

void Window::Key(UINT virtualKey, bool alt) {
  const UINT message = alt ? kWmSysKeyDown : kWmKeyDown;
  const LPARAM flags = alt ? (1L << 29) | 1 : 1;
  if (IsMessageBox()) {
    w32::Deliver(frame_.window, w32::QueuedMessage{frame_.window, message, virtualKey, flags, 0, 0, 0}, nullptr,
                 nullptr);
    return;
  }
  AfxNativeWindow* focus = w32::Focus();
  if (focus == nullptr) focus = frame_.window;
  AfxDeliverInput(*frame_.dialog, focus, message, virtualKey, flags);
}

void Window::Close() {
  if (frame_.window) w32::Send(frame_.window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void Window::ChooseSystemCommand(UINT command) {
  for (const CMenu::Item& item : SystemMenu()) {
    if (item.id == command && (item.flags & (MF_SEPARATOR | MF_GRAYED)) == 0) {
      w32::Send(frame_.window, WM_SYSCOMMAND, command, 0);
      return;
    }
  }
  ADD_FAILURE() << "the system menu has no enabled item " << command;
}

std::string Window::ToolTip(int id) const {
  return frame_.dialog ? Utf8(AfxToolTipText(*frame_.dialog, id)) : std::string();
}

std::string Window::ShownToolTip(int id) const {
  CWnd* c = Control(id);
  if (c == nullptr || frame_.dialog == nullptr) return std::string();
  return Utf8(w32::Gbk(w32::ToolTipShown(AfxToolTipWindow(*frame_.dialog), frame_.window, c->GetNativeWindow())));
}

Window::Place Window::Position(int id) const {
  CWnd* c = Control(id);
  Place p;
  if (c && c->GetNativeWindow()) w32::Position(c->GetNativeWindow(), &p.x, &p.y);
  return p;
}

int Window::Caret(int id) const {
  CWnd* c = Control(id);
  return c && c->GetNativeWindow() ? w32::EditCaret(c->GetNativeWindow()) : -1;
}

std::vector<Window::Column> Window::Columns(int id) const {
  std::vector<Column> columns;
  CWnd* c = Control(id);
  if (c == nullptr || c->GetNativeWindow() == nullptr) return columns;
  for (int i = 0; i < w32::ListColumnCount(c->GetNativeWindow()); ++i) {
    std::wstring heading;
    Column column;
    if (!w32::ListColumn(c->GetNativeWindow(), i, &heading, &column.width, &column.format)) break;
    column.heading = Utf8(w32::Gbk(heading));
    columns.push_back(column);
  }
  return columns;
}

bool Window::IsShown() const { return frame_.window && w32::IsVisible(frame_.window); }
bool Window::IsMinimized() const { return frame_.window && w32::IsIconic(frame_.window); }
bool Window::IsTopmost() const { return frame_.window && (w32::ExStyle(frame_.window) & kWsExTopmost) != 0; }

// ---- toolkit --------------------------------------------------------------

void PumpEvents() { AfxRunQueuedMessages(); }

namespace {

// The application object the dialogs ask for (name, icons), unless the test
// program has one of its own.
std::unique_ptr<CWinApp> g_testApp;

}  // namespace

bool StartToolkit(int&, char**) {
  if (AfxGetApp() == nullptr) g_testApp = std::make_unique<CWinApp>("tempiola");
  w32::InitControls();
  return true;
}

void StopToolkit() { g_testApp.reset(); }

}  // namespace afxtest
