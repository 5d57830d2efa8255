// The dialog layer over the system's own windows: dialogs are built from
// the templates as in-memory extended templates and run modally by a loop
// of the layer's own, so that PreTranslateMessage sees every queued
// message. The layer's handles are those of the message registry; each
// names a system window, to which a post from any thread goes on.
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <unordered_map>

#include "platform/socket_startup.h"
#include "platform/time_service.h"
#include "res/strings.h"
#include "ui/framework/afxwin.h"
#include "ui/framework/win32/afx_modal.h"
#include "ui/framework/foreground.h"
#include "ui/framework/shared_parts.h"
#include "ui/framework/top_levels.h"
#include "ui/framework/win32/native.h"

struct AfxIcon {
  int id;
  void* large;
  void* small;
};

namespace {

// System numbers the layer's vocabulary has no name for.
constexpr UINT kWmSetFont = 0x0030;
constexpr UINT kWmUser = 0x0400;
constexpr std::uint32_t kDsSetFont = 0x40;
constexpr std::uint32_t kWsChild = 0x40000000u;
constexpr std::uint32_t kWsExClientEdge = 0x200u;
constexpr int kGb2312Charset = 134;

std::mutex g_handleMutex;
std::unordered_map<HWND, CWnd*> g_byHandle;
std::unordered_map<w32::Handle, CWnd*> g_byWindow;

CWnd* ByWindow(w32::Handle window) {
  for (; window != nullptr; window = w32::Parent(window)) {
    auto it = g_byWindow.find(window);
    if (it != g_byWindow.end()) return it->second;
  }
  return nullptr;
}

using afx::Guarded;

std::vector<AfxModalFrame*> g_modalStack;
AfxModalObserver* g_observer = nullptr;
unsigned g_nextSerial = 1;

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

std::string GbkText(w32::Handle window) { return window ? w32::Gbk(w32::Text(window)) : std::string(); }

int CopyCut(const std::string& text, char* buffer, int maxCount) {
  if (buffer == nullptr || maxCount <= 0) return 0;
  const int n = AfxGbkCutLength(text.c_str(), maxCount - 1);
  std::memcpy(buffer, text.data(), static_cast<std::size_t>(n));
  buffer[n] = '\0';
  return n;
}

int CopyOut(const std::wstring& text, char* buffer) {
  const std::string gbk = w32::Gbk(text);
  if (buffer) std::memcpy(buffer, gbk.c_str(), gbk.size() + 1);
  return static_cast<int>(gbk.size());
}

// An in-memory DLGTEMPLATEEX, in 16-bit words.
class TemplateWriter {
 public:
  void Word(std::uint16_t w) { words_.push_back(w); }
  void Dword(std::uint32_t d) {
    Word(static_cast<std::uint16_t>(d & 0xFFFF));
    Word(static_cast<std::uint16_t>(d >> 16));
  }
  void Text(const char* gbk) {
    for (wchar_t c : w32::Wide(gbk)) Word(static_cast<std::uint16_t>(c));
    Word(0);
  }
  void AlignDword() {
    if (words_.size() % 2) Word(0);
  }
  std::vector<std::uint16_t>& Words() { return words_; }

 private:
  std::vector<std::uint16_t> words_;
};

std::uint16_t ClassAtom(DlgItemClass c) {
  switch (c) {
    case DlgItemClass::Button:
      return 0x0080;
    case DlgItemClass::Edit:
      return 0x0081;
    case DlgItemClass::Static:
      return 0x0082;
    case DlgItemClass::ListBox:
      return 0x0083;
    case DlgItemClass::ComboBox:
      return 0x0085;
    case DlgItemClass::ListView:
      break;
  }
  return 0;
}

std::vector<std::uint16_t> BuildTemplate(const DlgTemplate& t) {
  TemplateWriter w;
  w.Word(1);       // dlgVer
  w.Word(0xFFFF);  // signature: extended
  w.Dword(0);      // helpID
  w.Dword(t.exStyle);
  // Modeless creation: shown once the layer has centred it.
  w.Dword((t.style | kDsSetFont) & ~WS_VISIBLE);
  w.Word(static_cast<std::uint16_t>(t.itemCount));
  w.Word(0);  // x, y: placed by the layer
  w.Word(0);
  w.Word(static_cast<std::uint16_t>(t.cx));
  w.Word(static_cast<std::uint16_t>(t.cy));
  w.Word(0);  // no menu
  w.Word(0);  // the dialog class
  w.Text(t.caption);
  w.Word(static_cast<std::uint16_t>(t.pointSize));
  w.Word(400);  // weight
  w.Word(static_cast<std::uint16_t>(kGb2312Charset << 8));  // italic 0, charset
  w.Text(t.faceName);
  for (int i = 0; i < t.itemCount; ++i) {
    const DlgItemTemplate& item = t.items[i];
    w.AlignDword();
    w.Dword(0);  // helpID
    std::uint32_t exStyle = 0;
    std::uint32_t style = item.style | kWsChild;
    // A bordered edit or list has the sunken edge of the system's dialogs.
    if ((item.itemClass == DlgItemClass::Edit || item.itemClass == DlgItemClass::ListView ||
         item.itemClass == DlgItemClass::ListBox) &&
        (style & WS_BORDER)) {
      exStyle |= kWsExClientEdge;
      style &= ~WS_BORDER;
    }
    w.Dword(exStyle);
    w.Dword(style);
    w.Word(static_cast<std::uint16_t>(item.x));
    w.Word(static_cast<std::uint16_t>(item.y));
    w.Word(static_cast<std::uint16_t>(item.cx));
    w.Word(static_cast<std::uint16_t>(item.cy));
    w.Dword(static_cast<std::uint32_t>(item.id));
    if (item.itemClass == DlgItemClass::ListView) {
      w.Text("SysListView32");
    } else {
      w.Word(0xFFFF);
      w.Word(ClassAtom(item.itemClass));
    }
    if (item.itemClass == DlgItemClass::Static && (item.style & 0x1F) == SS_ICON && item.imageId != 0) {
      w.Word(0xFFFF);  // the icon resource by number
      w.Word(static_cast<std::uint16_t>(item.imageId));
    } else {
      w.Text(item.text);
    }
    w.Word(0);  // no creation data
  }
  return std::move(w.Words());
}

}  // namespace

// What the layer's dialog procedure and loop do to a dialog.
struct AfxDialogAccess {
  static std::intptr_t Procedure(void* context, w32::Handle window, unsigned message, std::uintptr_t wParam,
                                 std::intptr_t lParam, bool* handled);
  static bool PreTranslate(void* context, const w32::QueuedMessage& message);
  static std::string ToolTipText(CDialog& dialog, HWND control);
  static bool Ended(const CDialog& dialog) { return dialog.m_bEnded; }
  static AfxNativeWindow* ToolTips(const CDialog& dialog) { return dialog.m_hToolTips; }
  static void Bind(CWnd& wnd, w32::Handle window, int id, CWnd* owner, std::uint32_t style) {
    wnd.Attach(window, id, owner, style);
  }
};

// ---- CWnd -------------------------------------------------------------------

void CWnd::Attach(AfxNativeWindow* window, int id, CWnd* owner, std::uint32_t style, HWND handle) {
  Detach();
  m_pWindow = window;
  m_nID = id;
  m_pOwner = owner;
  m_dwStyle = style;
  if (handle == 0) {
    m_hWnd = platform::RegisterWindow([window](unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
      w32::Post(window, message, wParam, lParam);
    });
    m_bOwnsHandle = true;
  } else {
    m_hWnd = handle;
    m_bOwnsHandle = false;
  }
  std::lock_guard lock(g_handleMutex);
  g_byHandle[m_hWnd] = this;
  if (window) g_byWindow[window] = this;
}

void CWnd::Detach() {
  if (m_hWnd != 0) {
    {
      std::lock_guard lock(g_handleMutex);
      auto it = g_byHandle.find(m_hWnd);
      if (it != g_byHandle.end() && it->second == this) g_byHandle.erase(it);
      auto w = g_byWindow.find(m_pWindow);
      if (w != g_byWindow.end() && w->second == this) g_byWindow.erase(w);
    }
    if (m_bOwnsHandle) platform::UnregisterWindow(m_hWnd);
  }
  m_hWnd = 0;
  m_bOwnsHandle = false;
  m_pWindow = nullptr;
  m_pOwner = nullptr;
}

CWnd* CWnd::FromHandle(HWND window) {
  std::lock_guard lock(g_handleMutex);
  auto it = g_byHandle.find(window);
  return it == g_byHandle.end() ? nullptr : it->second;
}

int GetDlgCtrlID(HWND window) {
  CWnd* w = CWnd::FromHandle(window);
  return w ? w->GetDlgCtrlID() : 0;
}

std::string CWnd::TextGbk() const { return GbkText(m_pWindow); }

void CWnd::SetWindowText(const char* text) {
  if (m_pWindow == nullptr) return;
  w32::SetText(m_pWindow, w32::Wide(text));
  if (dynamic_cast<CDialog*>(this)) afx::SetTopLevelTitle(m_hWnd, text ? text : "");
}

int CWnd::GetWindowText(char* buffer, int maxCount) const { return CopyCut(TextGbk(), buffer, maxCount); }
int CWnd::GetWindowTextLength() const { return static_cast<int>(TextGbk().size()); }
void CWnd::GetWindowText(CString& text) const { text = TextGbk().c_str(); }

BOOL CWnd::EnableWindow(BOOL enable) {
  return m_pWindow && w32::Enable(m_pWindow, enable != FALSE) ? TRUE : FALSE;
}
BOOL CWnd::IsWindowEnabled() const { return m_pWindow && w32::IsEnabled(m_pWindow) ? TRUE : FALSE; }
BOOL CWnd::ShowWindow(int command) { return m_pWindow && w32::Show(m_pWindow, command) ? TRUE : FALSE; }
BOOL CWnd::IsWindowVisible() const { return m_pWindow && w32::IsVisible(m_pWindow) ? TRUE : FALSE; }

CWnd* CWnd::GetFocus() {
  std::lock_guard lock(g_handleMutex);
  return ByWindow(w32::Focus());
}

CWnd* CWnd::SetFocus() {
  CWnd* previous = GetFocus();
  // A button of a dialog takes the focus through the dialog, which makes it
  // the default for Return as Tab would.
  if (m_pWindow && m_pOwner && m_pOwner->m_pWindow && w32::IsButton(m_pWindow)) {
    w32::NextDlgCtrl(m_pOwner->m_pWindow, m_pWindow);
  } else if (m_pWindow) {
    w32::SetFocusTo(m_pWindow);
  }
  return previous;
}

BOOL CWnd::IsIconic() const { return m_pWindow && w32::IsIconic(m_pWindow) ? TRUE : FALSE; }

void CWnd::GetClientRect(RECT* rect) const {
  if (rect == nullptr) return;
  *rect = RECT{0, 0, 0, 0};
  if (m_pWindow) w32::ClientRect(m_pWindow, &rect->right, &rect->bottom);
}

CWnd* CWnd::GetDlgItem(int id) const {
  auto* dialog = dynamic_cast<const CDialog*>(this);
  return dialog ? dialog->ControlById(id) : nullptr;
}

void CWnd::SetDlgItemText(int id, const char* text) {
  if (CWnd* c = GetDlgItem(id)) c->SetWindowText(text);
}

UINT CWnd::GetDlgItemText(int id, char* buffer, int maxCount) const {
  CWnd* c = GetDlgItem(id);
  if (c == nullptr) return CopyCut(std::string(), buffer, maxCount);
  return static_cast<UINT>(c->GetWindowText(buffer, maxCount));
}

void CWnd::GotoDlgCtrl(CWnd* control) {
  if (control && control->m_pWindow && m_pWindow) w32::NextDlgCtrl(m_pWindow, control->m_pWindow);
}

BOOL CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags) {
  if (m_pWindow == nullptr) return FALSE;
  if (insertAfter == &wndTopMost || insertAfter == &wndNoTopMost) {
    w32::SetTopmost(m_pWindow, insertAfter == &wndTopMost);
    if (insertAfter == &wndTopMost) afx::RaiseTopLevel(m_hWnd);
  }
  return w32::MoveSize(m_pWindow, x, y, cx, cy, (flags & SWP_NOMOVE) == 0, (flags & SWP_NOSIZE) == 0) ? TRUE : FALSE;
}

BOOL CWnd::SetForegroundWindow() {
  if (m_pWindow == nullptr) return FALSE;
  afx::RaiseTopLevel(m_hWnd);
  return w32::ToForeground(m_pWindow) ? TRUE : FALSE;
}

BOOL CWnd::EnableToolTips(BOOL enable) {
  auto* dialog = dynamic_cast<CDialog*>(this);
  if (dialog == nullptr || dialog->m_pWindow == nullptr) return FALSE;
  dialog->m_bToolTips = enable != FALSE;
  if (dialog->m_bToolTips && dialog->m_hToolTips == nullptr) {
    dialog->m_hToolTips = w32::CreateToolTips(dialog->m_pWindow);
    for (AfxNativeWindow* item : dialog->m_itemWidgets) {
      if (item && dialog->m_hToolTips) w32::AddTool(dialog->m_hToolTips, dialog->m_pWindow, item);
    }
  }
  return TRUE;
}

void CWnd::UpdateDialogControls(CCmdTarget* target, BOOL disableIfNoHandler) {
  auto* dialog = dynamic_cast<CDialog*>(this);
  if (dialog == nullptr || target == nullptr) return;
  for (auto& [id, control] : dialog->m_controls) {
    CCmdUI ui;
    ui.m_nID = static_cast<UINT>(id);
    ui.m_pOther = control;
    if (target->OnCmdMsg(ui.m_nID, CN_UPDATE_COMMAND_UI, &ui)) continue;
    if (disableIfNoHandler && control->m_pWindow && w32::IsButton(control->m_pWindow) && id != IDOK &&
        id != IDCANCEL && target->FindMessageEntry(WM_COMMAND, BN_CLICKED, ui.m_nID) == nullptr) {
      control->EnableWindow(FALSE);
    }
  }
}

// ---- CDialog ----------------------------------------------------------------

void CDialog::ApplyIcons() {
  if (m_pWindow == nullptr) return;
  if (m_hIconBig) w32::SetWindowIcon(m_pWindow, true, m_hIconBig->large);
  if (m_hIconSmall) w32::SetWindowIcon(m_pWindow, false, m_hIconSmall->small);
}


void CDialog::CreateControls() {
  for (int i = 0; i < m_pTemplate->itemCount; ++i) {
    const DlgItemTemplate& item = m_pTemplate->items[i];
    w32::Handle window = item.id >= 0 ? w32::Item(m_pWindow, item.id) : nullptr;
    m_itemWidgets.push_back(window);
    if (item.id >= 0 && window) {
      std::unique_ptr<CWnd> wrapper = afx::WrapperFor(item.itemClass);
      AfxDialogAccess::Bind(*wrapper, window, item.id, this, item.style);
      m_controls[item.id] = wrapper.get();
      m_ownedControls.push_back(std::move(wrapper));
    }
  }
}

INT_PTR CDialog::DoModal() {
  m_pTemplate = FindDialogTemplate(static_cast<int>(m_nIDTemplate));
  if (m_pTemplate == nullptr) return -1;
  w32::Handle parent = m_pParentWnd ? m_pParentWnd->m_pWindow : w32::ActiveWindow();
  m_nModalResult = -1;
  m_bEnded = false;
  m_bToolTips = false;
  m_bHasSysMenu = (m_pTemplate->style & WS_SYSMENU) != 0;
  ResetSystemMenu();
  w32::Handle window = w32::CreateDialogFromTemplate(BuildTemplate(*m_pTemplate), parent, &AfxDialogAccess::Procedure,
                                                     this);
  if (window == nullptr) return -1;
  Attach(window, 0, nullptr, m_pTemplate->style);
  afx::AddTopLevel(m_hWnd, m_pTemplate->caption ? m_pTemplate->caption : "");
  CreateControls();

  BOOL focusFirst = TRUE;
  const std::size_t systemItems = m_sysMenu.Items().size();
  Guarded([&] { focusFirst = OnInitDialog(); });
  const auto& items = m_sysMenu.Items();
  for (std::size_t i = systemItems; i < items.size(); ++i) {
    w32::AppendSystemMenu(m_pWindow, items[i].flags, items[i].id, w32::Wide(items[i].text.c_str()));
  }
  if (focusFirst) {
    for (int i = 0; i < m_pTemplate->itemCount; ++i) {
      w32::Handle item = m_itemWidgets[static_cast<std::size_t>(i)];
      if ((m_pTemplate->items[i].style & WS_TABSTOP) && item && w32::IsVisible(item) && w32::IsEnabled(item)) {
        w32::SetFocusTo(item);
        break;
      }
    }
  }
  if (!m_bEnded) {
    w32::CenterOver(m_pWindow, parent);
    const bool ownerWasEnabled = parent && w32::IsEnabled(parent);
    if (ownerWasEnabled) w32::Enable(parent, false);
    w32::Show(m_pWindow, SW_SHOW);
    AfxModalFrame frame;
    frame.dialog = this;
    frame.window = m_pWindow;
    PushModal(&frame);
    NotifyModalStarted(&frame);
    m_bInModal = true;
    w32::RunModalLoop(m_pWindow, &m_bEnded, &AfxDialogAccess::PreTranslate, this);
    m_bInModal = false;
    PopModal(&frame);
    // The owner comes back before this window goes, so that it takes the
    // activation.
    if (ownerWasEnabled) w32::Enable(parent, true);
  }
  DestroyDialogWindow();
  return m_nModalResult;
}

void CDialog::DestroyDialogWindow() {
  Guarded([&] { SendMessage(WM_DESTROY); });
  w32::Handle window = m_pWindow;
  afx::RemoveTopLevel(m_hWnd);
  ReleaseControls();
  Detach();  // no post reaches the window from here on
  if (m_hToolTips) w32::Destroy(m_hToolTips);
  m_hToolTips = nullptr;
  w32::Destroy(window);
}

void CDialog::EndDialog(int result) {
  m_nModalResult = result;
  m_bEnded = true;
  if (m_pWindow) w32::Wake(m_pWindow);
}

LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SYSCOMMAND) {
    // The system's own handling (close, minimise, move), as its dialogs have.
    m_bDefault = true;
    return 0;
  }
  return CloseOrDefault(message, wParam, lParam);
}

std::intptr_t AfxDialogAccess::Procedure(void* context, w32::Handle window, unsigned message, std::uintptr_t wParam,
                                         std::intptr_t lParam, bool* handled) {
  auto* dialog = static_cast<CDialog*>(context);
  if (dialog->m_pWindow != window) return 0;  // before the layer took the window, or after
  LRESULT result = 0;
  switch (message) {
    case WM_COMMAND: {
      // The control's own handle as the layer names it.
      CWnd* from = nullptr;
      {
        std::lock_guard lock(g_handleMutex);
        auto it = g_byWindow.find(reinterpret_cast<w32::Handle>(lParam));
        if (it != g_byWindow.end()) from = it->second;
      }
      if (from && !from->IsWindowEnabled()) return 0;
      Guarded([&] { dialog->SendMessage(WM_COMMAND, wParam, from ? static_cast<LPARAM>(from->m_hWnd) : 0); });
      *handled = true;
      return 0;
    }
    case WM_NOTIFY: {
      w32::Handle control = nullptr;
      if (w32::IsToolTipRequest(lParam, &control)) {
        HWND h = 0;
        {
          std::lock_guard lock(g_handleMutex);
          auto it = g_byWindow.find(control);
          if (it != g_byWindow.end()) h = it->second->m_hWnd;
        }
        w32::AnswerToolTip(lParam, w32::Wide(h ? ToolTipText(*dialog, h).c_str() : ""));
        *handled = true;
        return 0;
      }
      w32::Handle from = nullptr;
      unsigned code = 0;
      w32::NotifyHeader(lParam, &from, &code);
      CWnd* sender = nullptr;
      {
        std::lock_guard lock(g_handleMutex);
        auto it = g_byWindow.find(from);
        if (it != g_byWindow.end()) sender = it->second;
      }
      if (sender == nullptr) return 0;
      NMHDR header{sender->m_hWnd, static_cast<UINT_PTR>(sender->GetDlgCtrlID()), code};
      BOOL taken = FALSE;
      Guarded([&] { taken = dialog->OnNotify(wParam, reinterpret_cast<LPARAM>(&header), &result); });
      *handled = taken != FALSE;
      return result;
    }
    case WM_SYSCOMMAND:
    case WM_CLOSE:
    case WM_PAINT:
    case WM_QUERYDRAGICON:
      break;
    default:
      if (message < kWmUser || message > 0x7FFF) return 0;
      break;
  }
  if ((message == WM_PAINT || message == WM_QUERYDRAGICON) && dialog->FindMessageEntry(message, 0, 0) == nullptr) {
    return 0;
  }
  dialog->m_bDefault = false;
  Guarded([&] { result = dialog->WindowProc(message, wParam, lParam); });
  *handled = !dialog->m_bDefault;
  dialog->m_bDefault = false;
  return result;
}

bool AfxDialogAccess::PreTranslate(void* context, const w32::QueuedMessage& q) {
  auto* dialog = static_cast<CDialog*>(context);
  HWND target = 0;
  {
    std::lock_guard lock(g_handleMutex);
    if (CWnd* w = ByWindow(q.window)) target = w->m_hWnd;
  }
  if (target == 0) return false;  // another window's message (a message box's, the tool tip's)
  MSG msg{target, q.message, q.wParam, q.lParam, q.time, {q.x, q.y}};
  bool consumed = false;
  Guarded([&] { consumed = dialog->PreTranslateMessage(&msg) != FALSE; });
  return consumed;
}

std::string AfxDialogAccess::ToolTipText(CDialog& dialog, HWND control) {
  if (!dialog.m_bToolTips) return std::string();
  TOOLTIPTEXTA ttt{};
  ttt.hdr.hwndFrom = 0;  // the tool-tip control, identifier 0
  ttt.hdr.idFrom = control;
  ttt.hdr.code = TTN_NEEDTEXTA;
  ttt.uFlags = TTF_IDISHWND;
  ttt.lpszText = ttt.szText;
  LRESULT result = 0;
  BOOL handled = FALSE;
  Guarded([&] { handled = dialog.OnNotify(0, reinterpret_cast<LPARAM>(&ttt), &result); });
  if (!handled || ttt.lpszText == nullptr) return std::string();
  return std::string(ttt.lpszText, strnlen(ttt.lpszText, 1024));
}

// ---- Controls -----------------------------------------------------------------

namespace {

// Check box messages.
constexpr UINT kBmGetCheck = 0x00F0, kBmSetCheck = 0x00F1;
// Combo box and list box messages.
constexpr UINT kCbAddString = 0x0143, kCbDeleteString = 0x0144, kCbGetCount = 0x0146, kCbGetCurSel = 0x0147,
               kCbInsertString = 0x014A, kCbResetContent = 0x014B, kCbSetCurSel = 0x014E, kCbGetItemData = 0x0150,
               kCbSetItemData = 0x0151;
constexpr UINT kLbInsertString = 0x0181, kLbDeleteString = 0x0182, kLbResetContent = 0x0184, kLbSetCurSel = 0x0186,
               kLbGetCurSel = 0x0188, kLbGetCount = 0x018B, kLbGetTopIndex = 0x018E, kLbSetTopIndex = 0x0197,
               kLbGetItemData = 0x0199, kLbSetItemData = 0x019A;
// List-view messages.
constexpr UINT kLvmFirst = 0x1000;
constexpr UINT kLvmGetItemCount = kLvmFirst + 4, kLvmDeleteItem = kLvmFirst + 8, kLvmDeleteAllItems = kLvmFirst + 9,
               kLvmGetNextItem = kLvmFirst + 12, kLvmGetItemState = kLvmFirst + 44,
               kLvmGetSelectedCount = kLvmFirst + 50;
constexpr int kLvniSelected = 0x0002;

std::intptr_t Send(const CWnd& w, UINT message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0) {
  AfxNativeWindow* window = w.GetNativeWindow();
  return window ? w32::Send(window, message, wParam, lParam) : -1;
}

std::intptr_t SendText(const CWnd& w, UINT message, std::uintptr_t wParam, const char* text) {
  const std::wstring wide = w32::Wide(text);
  return Send(w, message, wParam, reinterpret_cast<std::intptr_t>(wide.c_str()));
}

int Result(std::intptr_t r) { return r < 0 ? -1 : static_cast<int>(r); }

}  // namespace

int CButton::GetCheck() const { return Send(*this, kBmGetCheck) == BST_CHECKED ? BST_CHECKED : BST_UNCHECKED; }
void CButton::SetCheck(int check) { Send(*this, kBmSetCheck, check == BST_CHECKED ? BST_CHECKED : BST_UNCHECKED); }

int CComboBox::AddString(const char* text) { return Result(SendText(*this, kCbAddString, 0, text)); }
int CComboBox::InsertString(int index, const char* text) {
  return Result(SendText(*this, kCbInsertString, static_cast<std::uintptr_t>(index), text));
}
int CComboBox::DeleteString(UINT index) { return Result(Send(*this, kCbDeleteString, index)); }
void CComboBox::ResetContent() { Send(*this, kCbResetContent); }
int CComboBox::GetCount() const { return Result(Send(*this, kCbGetCount)); }
int CComboBox::GetCurSel() const { return Result(Send(*this, kCbGetCurSel)); }
int CComboBox::SetCurSel(int index) {
  // Out of range clears the selection, which Wine's list leaves in place.
  if (index < -1 || index >= GetCount()) index = -1;
  const int result = Result(Send(*this, kCbSetCurSel, static_cast<std::uintptr_t>(index)));
  return index < 0 ? CB_ERR : result;
}
int CComboBox::SetItemData(int index, DWORD_PTR data) {
  return Result(Send(*this, kCbSetItemData, static_cast<std::uintptr_t>(index), static_cast<std::intptr_t>(data)));
}
DWORD_PTR CComboBox::GetItemData(int index) const {
  return static_cast<DWORD_PTR>(Send(*this, kCbGetItemData, static_cast<std::uintptr_t>(index)));
}
int CComboBox::GetLBText(int index, char* buffer) const {
  if (index < 0 || index >= GetCount()) return CB_ERR;
  return CopyOut(w32::ComboText(m_pWindow, index), buffer);
}
int CComboBox::GetLBTextLen(int index) const {
  if (index < 0 || index >= GetCount()) return CB_ERR;
  return static_cast<int>(w32::Gbk(w32::ComboText(m_pWindow, index)).size());
}
void CComboBox::GetLBText(int index, CString& text) const {
  text = (index >= 0 && index < GetCount()) ? w32::Gbk(w32::ComboText(m_pWindow, index)).c_str() : "";
}

int CListBox::InsertString(int index, const char* text) {
  return Result(SendText(*this, kLbInsertString, static_cast<std::uintptr_t>(index), text));
}
int CListBox::DeleteString(UINT index) { return Result(Send(*this, kLbDeleteString, index)); }
void CListBox::ResetContent() { Send(*this, kLbResetContent); }
int CListBox::GetCount() const { return Result(Send(*this, kLbGetCount)); }
int CListBox::SetItemData(int index, DWORD_PTR data) {
  return Result(Send(*this, kLbSetItemData, static_cast<std::uintptr_t>(index), static_cast<std::intptr_t>(data)));
}
DWORD_PTR CListBox::GetItemData(int index) const {
  return static_cast<DWORD_PTR>(Send(*this, kLbGetItemData, static_cast<std::uintptr_t>(index)));
}
int CListBox::SetTopIndex(int index) { return Result(Send(*this, kLbSetTopIndex, static_cast<std::uintptr_t>(index))); }
int CListBox::GetTopIndex() const { return Result(Send(*this, kLbGetTopIndex)); }
int CListBox::GetText(int index, char* buffer) const {
  if (index < 0 || index >= GetCount()) return LB_ERR;
  return CopyOut(w32::ListBoxText(m_pWindow, index), buffer);
}
int CListBox::GetTextLen(int index) const {
  if (index < 0 || index >= GetCount()) return LB_ERR;
  return static_cast<int>(w32::Gbk(w32::ListBoxText(m_pWindow, index)).size());
}
void CListBox::GetText(int index, CString& text) const {
  text = (index >= 0 && index < GetCount()) ? w32::Gbk(w32::ListBoxText(m_pWindow, index)).c_str() : "";
}
int CListBox::GetCurSel() const { return Result(Send(*this, kLbGetCurSel)); }
int CListBox::SetCurSel(int index) { return Result(Send(*this, kLbSetCurSel, static_cast<std::uintptr_t>(index))); }

DWORD CListCtrl::SetExtendedStyle(DWORD style) {
  const DWORD previous = m_exStyle;
  m_exStyle = style;
  if (m_pWindow) w32::ListSetExtendedStyle(m_pWindow, style);
  return previous;
}
DWORD CListCtrl::GetExtendedStyle() const { return m_exStyle; }
int CListCtrl::InsertColumn(int column, const char* heading, int format, int width, int) {
  return m_pWindow ? w32::ListInsertColumn(m_pWindow, column, w32::Wide(heading), format, width) : -1;
}
int CListCtrl::InsertItem(int index, const char* text) {
  if (m_pWindow == nullptr) return -1;
  return w32::ListInsertItem(m_pWindow, index > GetItemCount() ? GetItemCount() : index, w32::Wide(text));
}
BOOL CListCtrl::SetItemText(int item, int subItem, const char* text) {
  return m_pWindow && w32::ListSetItemText(m_pWindow, item, subItem, w32::Wide(text)) ? TRUE : FALSE;
}
int CListCtrl::GetItemText(int item, int subItem, char* buffer, int length) const {
  return CopyCut(GetItemText(item, subItem).GetString(), buffer, length);
}
CString CListCtrl::GetItemText(int item, int subItem) const {
  if (m_pWindow == nullptr || item < 0 || item >= GetItemCount()) return CString();
  return CString(w32::Gbk(w32::ListItemText(m_pWindow, item, subItem)).c_str());
}
BOOL CListCtrl::DeleteItem(int item) { return Send(*this, kLvmDeleteItem, static_cast<std::uintptr_t>(item)) > 0; }
BOOL CListCtrl::DeleteAllItems() { return Send(*this, kLvmDeleteAllItems) > 0; }
int CListCtrl::GetItemCount() const { return Result(Send(*this, kLvmGetItemCount)); }
UINT CListCtrl::GetSelectedCount() const {
  const std::intptr_t n = Send(*this, kLvmGetSelectedCount);
  return n < 0 ? 0 : static_cast<UINT>(n);
}
// A position is the row index plus one, so that no selection is nullptr.
POSITION CListCtrl::GetFirstSelectedItemPosition() const {
  const std::intptr_t first = Send(*this, kLvmGetNextItem, static_cast<std::uintptr_t>(-1), kLvniSelected);
  return first < 0 ? nullptr : reinterpret_cast<POSITION>(first + 1);
}
int CListCtrl::GetNextSelectedItem(POSITION& position) const {
  const int current = static_cast<int>(reinterpret_cast<std::intptr_t>(position)) - 1;
  const std::intptr_t next = Send(*this, kLvmGetNextItem, static_cast<std::uintptr_t>(current), kLvniSelected);
  position = next < 0 ? nullptr : reinterpret_cast<POSITION>(next + 1);
  return current;
}
BOOL CListCtrl::SetItemState(int item, UINT state, UINT mask) {
  return m_pWindow && w32::ListSetItemState(m_pWindow, item, state, mask) ? TRUE : FALSE;
}
UINT CListCtrl::GetItemState(int item, UINT mask) const {
  const std::intptr_t s = Send(*this, kLvmGetItemState, static_cast<std::uintptr_t>(item), static_cast<std::intptr_t>(mask));
  return s < 0 ? 0 : static_cast<UINT>(s);
}

// ---- Painting, icons, metrics ---------------------------------------------------

struct CPaintDC::Impl {
  w32::Paint paint;
};

CPaintDC::CPaintDC(CWnd* window) : impl_(std::make_unique<Impl>()) {
  if (window && window->GetNativeWindow()) w32::BeginPaintOf(impl_->paint, window->GetNativeWindow());
}

CPaintDC::~CPaintDC() { w32::EndPaintOf(impl_->paint); }

void CPaintDC::DrawIcon(int x, int y, HICON icon) {
  if (icon) w32::DrawIconAt(impl_->paint, x, y, icon->large);
}

void CPaintDC::EraseBackground() { w32::EraseIconBackground(impl_->paint); }

int GetSystemMetrics(int index) { return w32::SystemMetric(index); }

HICON CWinApp::LoadIcon(UINT id) const {
  static std::map<UINT, std::unique_ptr<AfxIcon>> icons;
  auto it = icons.find(id);
  if (it != icons.end()) return it->second.get();
  void* large = w32::LoadIconResource(static_cast<int>(id), 32);
  if (large == nullptr) return nullptr;
  auto icon = std::make_unique<AfxIcon>(AfxIcon{static_cast<int>(id), large, w32::LoadIconResource(static_cast<int>(id), 16)});
  HICON result = icon.get();
  icons.emplace(id, std::move(icon));
  return result;
}

// ---- The application, message boxes, the wait cursor ---------------------------

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

int AfxWinMain(int, char**) {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) return 1;
  w32::InitControls();
  AfxGetAppName();
  // While the system's time service waits, the windows keep repainting;
  // input waits, so no command runs inside the one that is waiting.
  platform::SetTimeServiceWaitHook([] { w32::PumpPaint(); });
  int result = -1;
  if (app->InitApplication()) {
    // The program's window runs inside InitInstance; no loop after it.
    app->InitInstance();
    result = app->ExitInstance();
  }
  return result;
}

void AfxEnableControlContainer() {
  // No embedded (ActiveX) controls exist here: nothing to prepare.
}

BOOL AfxSocketInit() { return platform::SocketStartup() ? TRUE : FALSE; }

int AfxMessageBox(const char* text, UINT type, UINT) {
  const UINT buttons = (type & 0xF) == MB_OKCANCEL ? MB_OKCANCEL : MB_OK;
  AfxModalFrame frame;
  frame.kind = AfxModalFrame::Kind::MessageBox;
  frame.text = text ? text : "";
  frame.type = buttons;
  PushModal(&frame);
  NotifyModalStarted(&frame);
  const int result = w32::MessageBoxWatched(w32::ActiveWindow(), w32::Wide(text ? text : ""),
                                            w32::Wide(AfxGetAppName()), buttons, &frame.window);
  PopModal(&frame);
  // A box with OK alone answers Escape with OK (Wine says Cancel).
  return buttons == MB_OKCANCEL && result == IDCANCEL ? IDCANCEL : IDOK;
}


// ---- Bringing a window forward -----------------------------------------------------

// A window of another program has no handle of the layer: it travels as the
// system's own handle, which only these functions read.
HWND GetForegroundWindow() {
  w32::Handle window = w32::Foreground();
  std::lock_guard lock(g_handleMutex);
  auto it = g_byWindow.find(window);
  return it != g_byWindow.end() ? it->second->m_hWnd : reinterpret_cast<HWND>(window);
}

DWORD GetWindowThreadProcessId(HWND window, DWORD* processId) {
  w32::Handle system = nullptr;
  if (CWnd* w = CWnd::FromHandle(window)) {
    system = w->GetNativeWindow();
  } else {
    system = reinterpret_cast<w32::Handle>(window);
  }
  std::uint32_t pid = 0;
  const DWORD thread = system ? w32::WindowThread(system, &pid) : 0;
  if (processId) *processId = pid;
  return thread;
}

DWORD GetCurrentThreadId() { return w32::CurrentThread(); }

BOOL AttachThreadInput(DWORD attachThread, DWORD toThread, BOOL attach) {
  if (attachThread == 0 || toThread == 0 || attachThread == toThread) return FALSE;
  return w32::AttachInput(attachThread, toThread, attach != FALSE) ? TRUE : FALSE;
}

// ---- The modal loops, for the window tests ------------------------------------------

void AfxSetModalObserver(AfxModalObserver* observer) { g_observer = observer; }

std::vector<AfxModalFrame*> AfxModalStack() { return g_modalStack; }

BOOL AfxEndMessageBox(AfxModalFrame& frame, int id) {
  if (frame.kind != AfxModalFrame::Kind::MessageBox || !w32::IsWindowAlive(frame.window)) return FALSE;
  if (id != IDOK && !(id == IDCANCEL && frame.type == MB_OKCANCEL)) return FALSE;
  w32::Send(frame.window, WM_COMMAND, static_cast<std::uintptr_t>(id), 0);
  return TRUE;
}

BOOL AfxWaitCursorShown() { return g_waitCount > 0 ? TRUE : FALSE; }

namespace {

CDialog* InnermostDialog() {
  for (auto it = g_modalStack.rbegin(); it != g_modalStack.rend(); ++it) {
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
    AfxNativeWindow* box = g_modalStack.empty() ? nullptr : g_modalStack.back()->window;
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
