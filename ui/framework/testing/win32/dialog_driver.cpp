// The dialog test driver over the system's own windows: user actions are
// delivered as the modal loop delivers queued input, so that
// PreTranslateMessage and the dialog keys see them.
#include "ui/framework/testing/dialog_driver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/text_encoding.h"
#include "ui/framework/win32/native.h"

namespace afxtest {

namespace {

constexpr UINT kWmKeyDown = 0x0100, kWmKeyUp = 0x0101, kWmSysKeyDown = 0x0104, kWmLButtonDown = 0x0201,
               kWmLButtonUp = 0x0202, kWmSetText = 0x000C, kWmLButtonDblClk = 0x0203;
constexpr std::uint32_t kEsReadOnly = 0x0800;
constexpr std::uint32_t kWsExTopmost = 0x0008;

std::string Utf8(const std::string& gbk) { return platform::GbkToUtf8(gbk); }

bool StillRunning(const AfxModalFrame& frame) {
  for (AfxModalFrame* f : AfxModalStack()) {
    if (f == &frame) return frame.running && !AfxModalEnded(frame);
  }
  return false;
}

void Cancel(AfxModalFrame& frame) {
  if (frame.kind == AfxModalFrame::Kind::MessageBox) {
    AfxEndMessageBox(frame, frame.type == MB_OKCANCEL ? IDCANCEL : IDOK);
  } else if (frame.dialog) {
    frame.dialog->EndDialog(IDCANCEL);
  }
}

std::string Describe(const AfxModalFrame& frame) {
  if (frame.kind == AfxModalFrame::Kind::MessageBox) return "message box \"" + Utf8(frame.text) + "\"";
  return "dialog " + std::to_string(frame.dialog ? frame.dialog->GetTemplateId() : 0);
}

LPARAM Point(long x, long y) { return static_cast<LPARAM>((y << 16) | (x & 0xFFFF)); }

}  // namespace

// ---- Window ---------------------------------------------------------------

std::string Window::MessageText() const { return IsMessageBox() ? Utf8(frame_.text) : std::string(); }

void Window::Answer(int id) {
  if (!IsMessageBox()) {
    ADD_FAILURE() << "Answer on a dialog";
    return;
  }
  EXPECT_TRUE(AfxEndMessageBox(frame_, id)) << "the box has no button " << id;
}

CDialog& Window::Dialog() const { return *frame_.dialog; }

int Window::TemplateId() const { return frame_.dialog ? static_cast<int>(frame_.dialog->GetTemplateId()) : 0; }

std::string Window::Title() const {
  return frame_.window ? Utf8(w32::Gbk(w32::Text(frame_.window))) : std::string();
}

CWnd* Window::Control(int id) const { return frame_.dialog ? frame_.dialog->GetDlgItem(id) : nullptr; }

bool Window::Exists(int id) const { return Control(id) != nullptr; }

bool Window::IsEnabled(int id) const {
  CWnd* c = Control(id);
  EXPECT_NE(c, nullptr) << "no control " << id;
  return c && c->IsWindowEnabled();
}

bool Window::IsVisible(int id) const {
  CWnd* c = Control(id);
  EXPECT_NE(c, nullptr) << "no control " << id;
  return c && c->IsWindowVisible();
}

bool Window::HasFocus(int id) const {
  CWnd* focus = CWnd::GetFocus();
  return focus && focus == Control(id);
}

bool Window::IsReadOnly(int id) const {
  CWnd* c = Control(id);
  auto* edit = dynamic_cast<CEdit*>(c);
  EXPECT_NE(edit, nullptr) << "no edit box " << id;
  return edit && edit->GetNativeWindow() && (w32::Style(edit->GetNativeWindow()) & kEsReadOnly) != 0;
}

std::string Window::Text(int id) const {
  CWnd* c = Control(id);
  EXPECT_NE(c, nullptr) << "no control " << id;
  if (c == nullptr) return std::string();
  CString text;
  c->GetWindowText(text);
  return Utf8(text.GetString());
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

std::uintptr_t Window::ItemData(int id, int index) const {
  CWnd* c = Control(id);
  if (auto* combo = dynamic_cast<CComboBox*>(c)) return combo->GetItemData(index);
  if (auto* list = dynamic_cast<CListBox*>(c)) return list->GetItemData(index);
  ADD_FAILURE() << "control " << id << " has no item data";
  return 0;
}

int Window::RowCount(int id) const {
  auto* view = dynamic_cast<CListCtrl*>(Control(id));
  EXPECT_NE(view, nullptr) << "no list view " << id;
  return view ? view->GetItemCount() : 0;
}

std::string Window::Cell(int id, int row, int column) const {
  auto* view = dynamic_cast<CListCtrl*>(Control(id));
  EXPECT_NE(view, nullptr) << "no list view " << id;
  return view ? Utf8(view->GetItemText(row, column).GetString()) : std::string();
}

int Window::TopIndex(int id) const {
  auto* list = dynamic_cast<CListBox*>(Control(id));
  EXPECT_NE(list, nullptr) << "no list box " << id;
  return list ? list->GetTopIndex() : -1;
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
  const w32::QueuedMessage down{c->GetNativeWindow(), kWmLButtonDown, 1, 0, 0, 0, 0};
  const w32::QueuedMessage up{c->GetNativeWindow(), kWmLButtonUp, 0, 0, 0, 0, 0};
  MSG msg{c->m_hWnd, kWmLButtonDown, 1, 0, 0, {0, 0}};
  frame_.dialog->PreTranslateMessage(&msg);
  msg.message = kWmLButtonUp;
  frame_.dialog->PreTranslateMessage(&msg);
  (void)down;
  (void)up;
}

void Window::DoubleClick(int id, int row) {
  Select(id, row);
  CWnd* c = Control(id);
  if (c == nullptr) return;
  // The list view tells its dialog of the double click (NM_DBLCLK).
  NMHDR header{c->m_hWnd, static_cast<UINT_PTR>(id), NM_DBLCLK};
  frame_.dialog->SendMessage(WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&header));
  (void)kWmLButtonDblClk;
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

std::vector<CMenu::Item> Window::SystemMenu() const {
  CMenu* menu = frame_.dialog ? frame_.dialog->GetSystemMenu(FALSE) : nullptr;
  return menu ? menu->Items() : std::vector<CMenu::Item>();
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

void Window::Pump() { PumpEvents(); }

bool Window::IsRunning() const { return StillRunning(frame_); }

bool Window::PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    PumpEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

// ---- Script ---------------------------------------------------------------

Script::Script() { AfxSetModalObserver(this); }

Script::~Script() {
  AfxSetModalObserver(nullptr);
  EXPECT_TRUE(steps_.empty()) << steps_.size() << " scripted step(s) never ran";
}

Script& Script::Then(std::function<void(Window&)> step) {
  steps_.push_back(std::move(step));
  return *this;
}

INT_PTR Script::Run(CDialog& dialog) { return dialog.DoModal(); }

void Script::OnModalStarted(AfxModalFrame& frame) {
  if (steps_.empty()) {
    ADD_FAILURE() << "unexpected " << Describe(frame) << " with no scripted step left";
    Cancel(frame);
    return;
  }
  auto step = std::move(steps_.front());
  steps_.pop_front();
  Window window(frame);
  step(window);
  if (StillRunning(frame)) {
    ADD_FAILURE() << "the step left " << Describe(frame) << " open";
    Cancel(frame);
  }
}

// ---- toolkit --------------------------------------------------------------

void PumpEvents() { AfxRunQueuedMessages(); }

bool StartToolkit(int&, char**) {
  static CWinApp* app = AfxGetApp() ? nullptr : new CWinApp("tempiola");
  (void)app;
  w32::InitControls();
  return true;
}

void StopToolkit() {}

}  // namespace afxtest
