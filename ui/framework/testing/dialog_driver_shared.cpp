// The half of the dialog test driver that both back ends share: what it
// reads and does through the dialog layer's own calls, and the script.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/text_encoding.h"
#include "ui/framework/testing/driver_parts.h"

namespace afxtest {

namespace {

std::string Utf8(const std::string& gbk) { return platform::GbkToUtf8(gbk); }

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

bool Window::Exists(int id) const { return Control(id) != nullptr; }

bool Window::IsEnabled(int id) const {
  CWnd* c = Control(id);
  EXPECT_NE(c, nullptr) << "no control " << id;
  return c && c->IsWindowEnabled();
}

bool Window::IsChecked(int id) const {
  auto* box = dynamic_cast<CButton*>(Control(id));
  EXPECT_NE(box, nullptr) << "no check box " << id;
  return box && box->GetCheck() == BST_CHECKED;
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

std::string Window::Text(int id) const {
  CWnd* c = Control(id);
  EXPECT_NE(c, nullptr) << "no control " << id;
  if (c == nullptr) return std::string();
  CString text;
  c->GetWindowText(text);
  return Utf8(text.GetString());
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

std::vector<CMenu::Item> Window::SystemMenu() const {
  CMenu* menu = frame_.dialog ? frame_.dialog->GetSystemMenu(FALSE) : nullptr;
  return menu ? menu->Items() : std::vector<CMenu::Item>();
}

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

}  // namespace afxtest
