// The Win32 back end's system calls (see system_calls.h): wide-character
// functions only, GBK converted at this edge with code page 936.
#include <windows.h>
#include <commctrl.h>

#include <cwchar>
#include <map>

#include "ui/framework/win32/system_calls.h"

namespace w32 {
namespace {

constexpr UINT kGbk = 936;

struct DialogBinding {
  DialogCallback callback;
  void* context;
};

INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) SetWindowLongPtrW(window, DWLP_USER, lParam);
  auto* binding = reinterpret_cast<DialogBinding*>(GetWindowLongPtrW(window, DWLP_USER));
  if (binding == nullptr) return FALSE;
  bool handled = false;
  const std::intptr_t result = binding->callback(binding->context, window, message, wParam, lParam, &handled);
  if (!handled) return message == WM_INITDIALOG ? TRUE : FALSE;
  if (message == WM_INITDIALOG) return result;
  SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
  return TRUE;
}

}  // namespace

std::wstring Wide(const char* gbk) {
  if (gbk == nullptr || *gbk == '\0') return std::wstring();
  const int n = MultiByteToWideChar(kGbk, 0, gbk, -1, nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(kGbk, 0, gbk, -1, out.data(), n);
  out.resize(static_cast<std::size_t>(n - 1));
  return out;
}

std::string Gbk(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int n = WideCharToMultiByte(kGbk, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, "?", nullptr);
  if (n <= 0) return std::string();
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(kGbk, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n, "?", nullptr);
  return out;
}

Handle CreateDialogFromTemplate(const std::vector<std::uint16_t>& words, Handle parent, DialogCallback callback,
                                void* context) {
  // The binding lives as long as the window: released when it is destroyed.
  auto* binding = new DialogBinding{callback, context};
  HWND window = CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                           reinterpret_cast<LPCDLGTEMPLATEW>(words.data()), parent, DialogProc,
                                           reinterpret_cast<LPARAM>(binding));
  if (window == nullptr) delete binding;
  return window;
}

void Destroy(Handle window) {
  if (window == nullptr) return;
  auto* binding = reinterpret_cast<DialogBinding*>(GetWindowLongPtrW(window, DWLP_USER));
  SetWindowLongPtrW(window, DWLP_USER, 0);
  DestroyWindow(window);
  delete binding;
}

bool RunModalLoop(Handle dialog, const bool* ended, bool (*pre)(void* context, const QueuedMessage& message),
                  void* context) {
  MSG msg;
  while (!*ended) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop outside this one
      return false;
    }
    if (got < 0) return false;
    const QueuedMessage q{msg.hwnd, msg.message, msg.wParam, msg.lParam, msg.time, msg.pt.x, msg.pt.y};
    if (pre(context, q)) continue;
    if (IsWindow(dialog) && IsDialogMessageW(dialog, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return true;
}

void Wake(Handle window) { PostMessageW(window, WM_NULL, 0, 0); }

std::intptr_t Send(Handle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  return SendMessageW(window, message, wParam, lParam);
}

bool Post(Handle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  return PostMessageW(window, message, wParam, lParam) != FALSE;
}

std::wstring Text(Handle window) {
  const int n = GetWindowTextLengthW(window);
  if (n <= 0) return std::wstring();
  std::wstring out(static_cast<std::size_t>(n) + 1, L'\0');
  const int got = GetWindowTextW(window, out.data(), n + 1);
  out.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return out;
}

void SetText(Handle window, const std::wstring& text) { SetWindowTextW(window, text.c_str()); }
bool Enable(Handle window, bool enable) { return EnableWindow(window, enable ? TRUE : FALSE) != FALSE; }
bool IsEnabled(Handle window) { return IsWindowEnabled(window) != FALSE; }
bool Show(Handle window, int command) { return ShowWindow(window, command) != FALSE; }
bool IsVisible(Handle window) { return IsWindowVisible(window) != FALSE; }
bool IsIconic(Handle window) { return ::IsIconic(window) != FALSE; }
Handle Focus() { return GetFocus(); }
void SetFocusTo(Handle window) { SetFocus(window); }

void NextDlgCtrl(Handle dialog, Handle control) {
  SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

Handle Parent(Handle window) { return GetParent(window); }
Handle Item(Handle dialog, int id) { return GetDlgItem(dialog, id); }
int ControlId(Handle window) { return GetDlgCtrlID(window); }

bool IsButton(Handle window) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  return lstrcmpiW(name, L"Button") == 0;
}

void ClientRect(Handle window, long* width, long* height) {
  RECT r{};
  GetClientRect(window, &r);
  *width = r.right - r.left;
  *height = r.bottom - r.top;
}

void CenterOver(Handle window, Handle over) {
  RECT area{};
  if (over != nullptr && IsWindowVisible(over) && !::IsIconic(over)) {
    GetWindowRect(over, &area);
  } else {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  }
  RECT r{};
  GetWindowRect(window, &r);
  const int x = area.left + ((area.right - area.left) - (r.right - r.left)) / 2;
  const int y = area.top + ((area.bottom - area.top) - (r.bottom - r.top)) / 2;
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool SetTopmost(Handle window, bool topmost) {
  return SetWindowPos(window, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE) != FALSE;
}

bool MoveSize(Handle window, int x, int y, int cx, int cy, bool move, bool size) {
  if (!move && !size) return true;
  UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
  if (!move) flags |= SWP_NOMOVE;
  if (!size) flags |= SWP_NOSIZE;
  return SetWindowPos(window, nullptr, x, y, cx, cy, flags) != FALSE;
}

bool ToForeground(Handle window) { return SetForegroundWindow(window) != FALSE; }
Handle Foreground() { return GetForegroundWindow(); }

std::uint32_t WindowThread(Handle window, std::uint32_t* processId) {
  DWORD pid = 0;
  const DWORD thread = GetWindowThreadProcessId(window, &pid);
  if (processId) *processId = pid;
  return thread;
}

std::uint32_t CurrentThread() { return GetCurrentThreadId(); }

bool AttachInput(std::uint32_t from, std::uint32_t to, bool attach) {
  return AttachThreadInput(from, to, attach ? TRUE : FALSE) != FALSE;
}

void* LoadIconResource(int id, int size) {
  return LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_SHARED);
}

void SetWindowIcon(Handle window, bool big, void* icon) {
  SendMessageW(window, WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

static_assert(sizeof(PAINTSTRUCT) <= sizeof(Paint::state));

void BeginPaintOf(Paint& paint, Handle window) {
  paint.window = window;
  paint.dc = BeginPaint(window, reinterpret_cast<PAINTSTRUCT*>(paint.state));
}

void EndPaintOf(Paint& paint) {
  if (paint.dc) EndPaint(paint.window, reinterpret_cast<PAINTSTRUCT*>(paint.state));
  paint.dc = nullptr;
}

void DrawIconAt(Paint& paint, int x, int y, void* icon) {
  if (paint.dc && icon) DrawIcon(static_cast<HDC>(paint.dc), x, y, static_cast<HICON>(icon));
}

void EraseIconBackground(Paint& paint) {
  if (paint.dc == nullptr) return;
  RECT r{};
  GetClientRect(paint.window, &r);
  FillRect(static_cast<HDC>(paint.dc), &r, GetSysColorBrush(COLOR_3DFACE));
}

void AppendSystemMenu(Handle window, unsigned flags, unsigned id, const std::wstring& text) {
  HMENU menu = GetSystemMenu(window, FALSE);
  if (menu == nullptr) return;
  if (flags & MF_SEPARATOR) {
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  } else {
    AppendMenuW(menu, MF_STRING | (flags & MF_GRAYED), id, text.c_str());
  }
}

Handle CreateToolTips(Handle dialog) {
  HWND tips = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (tips) SendMessageW(tips, TTM_SETMAXTIPWIDTH, 0, 400);
  return tips;
}

void AddTool(Handle tips, Handle dialog, Handle control) {
  TOOLINFOW info{};
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = dialog;
  info.uId = reinterpret_cast<UINT_PTR>(control);
  info.lpszText = LPSTR_TEXTCALLBACKW;
  SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

bool IsToolTipRequest(std::intptr_t lParam, Handle* control) {
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  if (header == nullptr || header->code != TTN_GETDISPINFOW) return false;
  auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
  *control = (info->uFlags & TTF_IDISHWND) ? reinterpret_cast<HWND>(header->idFrom) : nullptr;
  return true;
}

void AnswerToolTip(std::intptr_t lParam, const std::wstring& text) {
  // The tip copies the text when it shows it; one answer at a time. No
  // text is the empty text, which shows no tip: a null pointer would leave
  // Wine's tip showing the text of the control asked about before.
  static std::wstring answer;
  answer = text;
  auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
  info->lpszText = answer.data();
  info->szText[0] = L'\0';
  info->hinst = nullptr;
}

void NotifyHeader(std::intptr_t lParam, Handle* from, unsigned* code) {
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  *from = header ? header->hwndFrom : nullptr;
  *code = header ? header->code : 0;
}

void ListSetExtendedStyle(Handle list, std::uint32_t style) {
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(style));
}

int ListInsertColumn(Handle list, int column, const std::wstring& heading, int format, int width) {
  LVCOLUMNW c{};
  c.mask = LVCF_FMT | LVCF_TEXT | LVCF_SUBITEM | (width >= 0 ? LVCF_WIDTH : 0);
  c.fmt = format;
  c.cx = width;
  c.pszText = const_cast<wchar_t*>(heading.c_str());
  c.iSubItem = column;
  return static_cast<int>(SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&c)));
}

int ListInsertItem(Handle list, int index, const std::wstring& text) {
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = index;
  item.pszText = const_cast<wchar_t*>(text.c_str());
  return static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

bool ListSetItemText(Handle list, int index, int subItem, const std::wstring& text) {
  LVITEMW item{};
  item.iSubItem = subItem;
  item.pszText = const_cast<wchar_t*>(text.c_str());
  return SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) != FALSE;
}

std::wstring ListItemText(Handle list, int index, int subItem) {
  // The list answers with at most the buffer; grown until the text fits.
  for (int size = 256; size <= 65536; size *= 4) {
    std::wstring buffer(static_cast<std::size_t>(size), L'\0');
    LVITEMW item{};
    item.iSubItem = subItem;
    item.pszText = buffer.data();
    item.cchTextMax = size;
    const int n = static_cast<int>(
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
    if (n < size - 1) {
      buffer.resize(static_cast<std::size_t>(n > 0 ? n : 0));
      return buffer;
    }
  }
  return std::wstring();
}

bool ListSetItemState(Handle list, int index, unsigned state, unsigned mask) {
  LVITEMW item{};
  item.state = state;
  item.stateMask = mask;
  return SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) != FALSE;
}

namespace {

// An item's text of a combo or list box (CB_ERR and LB_ERR are both -1).
std::wstring ItemText(Handle window, UINT lengthMessage, UINT textMessage, int index) {
  const LRESULT n = SendMessageW(window, lengthMessage, static_cast<WPARAM>(index), 0);
  if (n < 0) return std::wstring();
  std::wstring out(static_cast<std::size_t>(n) + 1, L'\0');
  const LRESULT got = SendMessageW(window, textMessage, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(out.data()));
  out.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return out;
}

}  // namespace

std::wstring ComboText(Handle combo, int index) { return ItemText(combo, CB_GETLBTEXTLEN, CB_GETLBTEXT, index); }

std::wstring ListBoxText(Handle list, int index) { return ItemText(list, LB_GETTEXTLEN, LB_GETTEXT, index); }

void SetWaitCursor(bool wait) { SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(wait ? 32514 : 32512))); }

int MessageBoxText(Handle owner, const std::wstring& text, const std::wstring& caption, unsigned type) {
  return MessageBoxW(owner, text.c_str(), caption.c_str(), type | (owner ? 0 : MB_TASKMODAL));
}

Handle ActiveWindow() { return GetActiveWindow(); }
int SystemMetric(int index) { return GetSystemMetrics(index); }

void InitControls() {
  INITCOMMONCONTROLSEX init{sizeof init, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&init);
}

void PumpPaint() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageW(&msg);
}

}  // namespace w32

namespace w32 {
namespace {

std::map<UINT_PTR, std::pair<void (*)(unsigned), unsigned>>& SoonCalls() {
  static std::map<UINT_PTR, std::pair<void (*)(unsigned), unsigned>> calls;
  return calls;
}

void CALLBACK SoonTimer(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  auto& calls = SoonCalls();
  auto it = calls.find(id);
  if (it == calls.end()) return;
  const auto call = it->second;
  calls.erase(it);
  call.first(call.second);
}

Handle* g_boxShown = nullptr;
HHOOK g_boxHook = nullptr;

LRESULT CALLBACK BoxHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND && g_boxShown != nullptr) {
    wchar_t name[16] = {0};
    GetClassNameW(reinterpret_cast<HWND>(wParam), name, 16);
    if (std::wcscmp(name, L"#32770") == 0) {
      *g_boxShown = reinterpret_cast<HWND>(wParam);
      g_boxShown = nullptr;
    }
  }
  return CallNextHookEx(g_boxHook, code, wParam, lParam);
}

}  // namespace

void Soon(void (*fn)(unsigned), unsigned arg) {
  const UINT_PTR id = SetTimer(nullptr, 0, 0, &SoonTimer);
  if (id != 0) SoonCalls()[id] = {fn, arg};
}

int MessageBoxWatched(Handle owner, const std::wstring& text, const std::wstring& caption, unsigned type,
                      Handle* shown) {
  HHOOK previous = g_boxHook;
  g_boxShown = shown;
  g_boxHook = SetWindowsHookExW(WH_CBT, &BoxHook, nullptr, GetCurrentThreadId());
  HHOOK mine = g_boxHook;
  const int result = MessageBoxText(owner, text, caption, type);
  if (mine) UnhookWindowsHookEx(mine);
  g_boxHook = previous;
  g_boxShown = nullptr;
  return result;
}

void Deliver(Handle dialog, const QueuedMessage& q, bool (*pre)(void* context, const QueuedMessage& message),
             void* context) {
  MSG msg{q.window, q.message, q.wParam, q.lParam, q.time, {q.x, q.y}};
  if (pre && pre(context, q)) return;
  if (dialog && IsWindow(dialog) && IsDialogMessageW(dialog, &msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

void RunQueued(Handle dialog, bool (*pre)(void* context, const QueuedMessage& message), void* context) {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    Deliver(dialog, QueuedMessage{msg.hwnd, msg.message, msg.wParam, msg.lParam, msg.time, msg.pt.x, msg.pt.y}, pre,
            context);
  }
}

bool IsWindowAlive(Handle window) { return window && IsWindow(window); }
std::uint32_t Style(Handle window) { return static_cast<std::uint32_t>(GetWindowLongW(window, GWL_STYLE)); }
std::uint32_t ExStyle(Handle window) { return static_cast<std::uint32_t>(GetWindowLongW(window, GWL_EXSTYLE)); }

void Position(Handle window, long* x, long* y) {
  RECT r{};
  GetWindowRect(window, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
  *x = r.left;
  *y = r.top;
}

void Center(Handle window, long* x, long* y) {
  RECT r{};
  GetClientRect(window, &r);
  *x = r.right / 2;
  *y = r.bottom / 2;
}

int EditCaret(Handle edit) {
  DWORD start = 0, end = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(start);
}

int ListColumnCount(Handle list) {
  HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  return header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

bool ListColumn(Handle list, int column, std::wstring* heading, int* width, int* format) {
  wchar_t text[256] = {0};
  LVCOLUMNW c{};
  c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
  c.pszText = text;
  c.cchTextMax = 256;
  if (!SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&c))) return false;
  *heading = text;
  *width = c.cx;
  *format = c.fmt & LVCFMT_JUSTIFYMASK;
  return true;
}

std::wstring ToolTipShown(Handle tips, Handle dialog, Handle control) {
  if (tips == nullptr) return std::wstring();
  wchar_t text[1024] = {0};
  TTTOOLINFOW info{};
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.hwnd = dialog;
  info.uId = reinterpret_cast<UINT_PTR>(control);
  info.lpszText = text;
  SendMessageW(tips, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&info));
  return info.lpszText && info.lpszText != LPSTR_TEXTCALLBACKW ? std::wstring(info.lpszText) : std::wstring();
}

}  // namespace w32
