// The calls of the Win32 back end into the system, in types of its own, so
// that the rest of the back end never meets the system headers (whose
// macros clash with the layer's names). Handles are the system's HWNDs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/framework/win32/afx_native.h"

namespace w32 {

using Handle = HWND__*;

// GBK <-> UTF-16 (code page 936); characters GBK cannot hold become '?'.
std::wstring Wide(const char* gbk);
std::string Gbk(const std::wstring& text);

// Called by the dialog procedure; handled = false leaves the message to the
// system's dialog handling.
using DialogCallback = std::intptr_t (*)(void* context, Handle dialog, unsigned message, std::uintptr_t wParam,
                                         std::intptr_t lParam, bool* handled);
// A modeless dialog from an in-memory DLGTEMPLATEEX; nullptr on failure.
Handle CreateDialogFromTemplate(const std::vector<std::uint16_t>& words, Handle parent, DialogCallback callback,
                                void* context);
void Destroy(Handle window);

struct QueuedMessage {
  Handle window;
  unsigned message;
  std::uintptr_t wParam;
  std::intptr_t lParam;
  std::uint32_t time;
  long x, y;
};
// Runs the message loop of a modal dialog until *ended: every queued message
// goes to pre first (true consumes it), then to the dialog's keyboard
// handling, then to its window. Returns false when WM_QUIT arrived.
bool RunModalLoop(Handle dialog, const bool* ended, bool (*pre)(void* context, const QueuedMessage& message),
                  void* context);
void Wake(Handle window);  // a null message, so that a loop looks at its flag again

std::intptr_t Send(Handle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
bool Post(Handle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

std::wstring Text(Handle window);
void SetText(Handle window, const std::wstring& text);
bool Enable(Handle window, bool enable);  // true when it was disabled before
bool IsEnabled(Handle window);
bool Show(Handle window, int command);  // true when it was visible before
bool IsVisible(Handle window);
bool IsIconic(Handle window);
Handle Focus();
void SetFocusTo(Handle window);
void NextDlgCtrl(Handle dialog, Handle control);
Handle Parent(Handle window);
Handle Item(Handle dialog, int id);
int ControlId(Handle window);
bool IsButton(Handle window);
void ClientRect(Handle window, long* width, long* height);
void CenterOver(Handle window, Handle over);
bool SetTopmost(Handle window, bool topmost);
bool MoveSize(Handle window, int x, int y, int cx, int cy, bool move, bool size);
bool ToForeground(Handle window);
Handle Foreground();
std::uint32_t WindowThread(Handle window, std::uint32_t* processId);
std::uint32_t CurrentThread();
bool AttachInput(std::uint32_t from, std::uint32_t to, bool attach);

// Icons of the executable's resources.
void* LoadIconResource(int id, int size);
void SetWindowIcon(Handle window, bool big, void* icon);

// A paint context between BeginPaint and EndPaint.
struct Paint {
  Handle window = nullptr;
  void* dc = nullptr;
  unsigned char state[72];  // PAINTSTRUCT
};
void BeginPaintOf(Paint& paint, Handle window);
void EndPaintOf(Paint& paint);
void DrawIconAt(Paint& paint, int x, int y, void* icon);
void EraseIconBackground(Paint& paint);

// The system menu: items appended after the system's own.
void AppendSystemMenu(Handle window, unsigned flags, unsigned id, const std::wstring& text);

// Tool tips asking the dialog for each control's text (TTN_GETDISPINFOW).
Handle CreateToolTips(Handle dialog);
void AddTool(Handle tips, Handle dialog, Handle control);
// Answers a tool tip's request (lParam of its WM_NOTIFY) with text;
// true when lParam was such a request, with the control it asks about.
bool IsToolTipRequest(std::intptr_t lParam, Handle* control);
void AnswerToolTip(std::intptr_t lParam, const std::wstring& text);
// The sender and code of a WM_NOTIFY.
void NotifyHeader(std::intptr_t lParam, Handle* from, unsigned* code);

// List view, report style.
void ListSetExtendedStyle(Handle list, std::uint32_t style);
int ListInsertColumn(Handle list, int column, const std::wstring& heading, int format, int width);
int ListInsertItem(Handle list, int index, const std::wstring& text);
bool ListSetItemText(Handle list, int item, int subItem, const std::wstring& text);
std::wstring ListItemText(Handle list, int item, int subItem);
bool ListSetItemState(Handle list, int item, unsigned state, unsigned mask);

// Combo and list box strings.
std::wstring ComboText(Handle combo, int index);
std::wstring ListBoxText(Handle list, int index);

void SetWaitCursor(bool wait);
int MessageBoxText(Handle owner, const std::wstring& text, const std::wstring& caption, unsigned type);
Handle ActiveWindow();
int SystemMetric(int index);
void InitControls();
// Repaints the windows while a call waits (paint messages only).
void PumpPaint();

// For the window tests: fn(arg) from the modal loop running next.
void Soon(void (*fn)(unsigned), unsigned arg);
// A message box whose window is handed to shown once it exists.
int MessageBoxWatched(Handle owner, const std::wstring& text, const std::wstring& caption, unsigned type,
                      Handle* shown);
// One message handled as a modal loop handles a queued one (pre may be null).
void Deliver(Handle dialog, const QueuedMessage& message, bool (*pre)(void* context, const QueuedMessage& message),
             void* context);
// The queued messages, each handled so, until none is left.
void RunQueued(Handle dialog, bool (*pre)(void* context, const QueuedMessage& message), void* context);
bool IsWindowAlive(Handle window);
std::uint32_t Style(Handle window);
std::uint32_t ExStyle(Handle window);
void Position(Handle window, long* x, long* y);  // in the parent's client area
void Center(Handle window, long* x, long* y);    // of the window, in its client area
int EditCaret(Handle edit);
int ListColumnCount(Handle list);
bool ListColumn(Handle list, int column, std::wstring* heading, int* width, int* format);
std::wstring ToolTipShown(Handle tips, Handle dialog, Handle control);

}  // namespace w32
