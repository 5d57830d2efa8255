// The handle map, text cut to a buffer, the modal stack, the wait cursor and
// the modal loops as the window tests drive them.
#include <mutex>
#include <unordered_map>

#include "afx/gbk.h"
#include "ui/framework/win32/afx_impl.h"

namespace afx {

namespace {

std::mutex g_handleMutex;
std::unordered_map<HWND, CWnd*> g_byHandle;
std::unordered_map<w32::Handle, CWnd*> g_byWindow;

// Under g_handleMutex.
CWnd* Find(w32::Handle window, bool withinParents) {
  for (; window != nullptr; window = withinParents ? w32::Parent(window) : nullptr) {
    auto it = g_byWindow.find(window);
    if (it != g_byWindow.end()) return it->second;
  }
  return nullptr;
}

}  // namespace

void MapHandle(HWND handle, CWnd* wnd, w32::Handle window) {
  std::lock_guard lock(g_handleMutex);
  g_byHandle[handle] = wnd;
  if (window) g_byWindow[window] = wnd;
}

void UnmapHandle(HWND handle, const CWnd* wnd, w32::Handle window) {
  std::lock_guard lock(g_handleMutex);
  auto it = g_byHandle.find(handle);
  if (it != g_byHandle.end() && it->second == wnd) g_byHandle.erase(it);
  auto w = g_byWindow.find(window);
  if (w != g_byWindow.end() && w->second == wnd) g_byWindow.erase(w);
}

CWnd* LookupHandle(HWND handle) {
  std::lock_guard lock(g_handleMutex);
  auto it = g_byHandle.find(handle);
  return it == g_byHandle.end() ? nullptr : it->second;
}

CWnd* LookupWidget(w32::Handle window, bool withinParents) {
  std::lock_guard lock(g_handleMutex);
  return Find(window, withinParents);
}

HWND LayerHandle(w32::Handle window, bool withinParents) {
  std::lock_guard lock(g_handleMutex);
  CWnd* w = Find(window, withinParents);
  return w ? w->m_hWnd : 0;
}

int CopyCut(const std::string& text, char* buffer, int maxCount) {
  if (buffer == nullptr || maxCount <= 0) return 0;
  return static_cast<int>(GbkCopyCut(text, buffer, static_cast<std::size_t>(maxCount)));
}

namespace {

std::vector<AfxModalFrame*> g_modalStack;
AfxModalObserver* g_observer = nullptr;
unsigned g_nextSerial = 1;

}  // namespace

void PushModal(AfxModalFrame* frame) {
  frame->serial = g_nextSerial++;
  g_modalStack.push_back(frame);
}

void PopModal(AfxModalFrame* frame) {
  frame->running = false;
  std::erase(g_modalStack, frame);
}

// From inside the new loop, once its window is up; a loop that has ended
// by then is skipped.
void NotifyModalStarted(AfxModalFrame* frame) {
  if (g_observer == nullptr) return;
  w32::Soon(
      [](unsigned serial) {
        for (AfxModalFrame* f : g_modalStack) {
          if (f->serial == serial && g_observer != nullptr) {
            g_observer->OnModalStarted(*f);
            return;
          }
        }
      },
      frame->serial);
}

}  // namespace afx

void AfxSetModalObserver(AfxModalObserver* observer) { afx::g_observer = observer; }

std::vector<AfxModalFrame*> AfxModalStack() { return afx::g_modalStack; }

namespace {

int g_waitCount = 0;

}  // namespace

void CCmdTarget::BeginWaitCursor() {
  ++g_waitCount;
  w32::SetWaitCursor(true);
}

void CCmdTarget::EndWaitCursor() {
  if (g_waitCount > 0 && --g_waitCount == 0) w32::SetWaitCursor(false);
}

BOOL AfxWaitCursorShown() { return g_waitCount > 0 ? TRUE : FALSE; }

// ---- The modal loops, for the window tests ------------------------------------------

namespace {

CDialog* InnermostDialog() {
  for (auto it = afx::g_modalStack.rbegin(); it != afx::g_modalStack.rend(); ++it) {
    if ((*it)->kind == AfxModalFrame::Kind::MessageBox) return nullptr;  // the box's own loop
    if ((*it)->dialog && (*it)->dialog->GetNativeWindow()) return (*it)->dialog;
  }
  return nullptr;
}

}  // namespace

void AfxRunQueuedMessages() {
  CDialog* dialog = InnermostDialog();
  if (dialog) {
    w32::RunQueued(dialog->GetNativeWindow(), &AfxDialogAccess::PreTranslate, dialog);
  } else {
    AfxNativeWindow* box = afx::g_modalStack.empty() ? nullptr : afx::g_modalStack.back()->window;
    w32::RunQueued(box, nullptr, nullptr);
  }
}

void AfxDeliverInput(CDialog& dialog, AfxNativeWindow* window, UINT message, WPARAM wParam, LPARAM lParam) {
  const w32::QueuedMessage q{window, message, wParam, lParam, 0, 0, 0};
  w32::Deliver(dialog.GetNativeWindow(), q, &AfxDialogAccess::PreTranslate, &dialog);
}

std::string AfxToolTipText(CDialog& dialog, int id) {
  CWnd* control = dialog.GetDlgItem(id);
  return control ? AfxDialogAccess::ToolTipText(dialog, control->m_hWnd) : std::string();
}

AfxNativeWindow* AfxToolTipWindow(const CDialog& dialog) { return AfxDialogAccess::ToolTips(dialog); }

bool AfxModalEnded(const AfxModalFrame& frame) {
  if (frame.kind == AfxModalFrame::Kind::Dialog) return frame.dialog == nullptr || AfxDialogAccess::Ended(*frame.dialog);
  return frame.window != nullptr && (!w32::IsWindowAlive(frame.window) || !w32::IsVisible(frame.window));
}
