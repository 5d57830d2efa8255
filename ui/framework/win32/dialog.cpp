// The dialog layer over the system's own windows: dialogs are built from
// the templates as in-memory extended templates and run modally by a loop
// of the layer's own, so that PreTranslateMessage sees every queued
// message. The layer's handles are those of the message registry; each
// names a system window, to which a post from any thread goes on.
#include <cstring>

#include "ui/framework/win32/afx_impl.h"

namespace {

// System numbers the layer's vocabulary has no name for.
constexpr UINT kWmUser = 0x0400;
constexpr std::uint32_t kDsSetFont = 0x40;
constexpr std::uint32_t kWsChild = 0x40000000u;
constexpr std::uint32_t kWsExClientEdge = 0x200u;
constexpr int kGb2312Charset = 134;

using afx::Guarded;

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
    afx::PushModal(&frame);
    afx::NotifyModalStarted(&frame);
    m_bInModal = true;
    w32::RunModalLoop(m_pWindow, &m_bEnded, &AfxDialogAccess::PreTranslate, this);
    m_bInModal = false;
    afx::PopModal(&frame);
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
      CWnd* from = afx::LookupWidget(reinterpret_cast<w32::Handle>(lParam));
      // A disabled button takes no click; a disabled list's change is told,
      // so that the dialog can put it back.
      if (from && !from->IsWindowEnabled() && HIWORD(wParam) == BN_CLICKED) return 0;
      Guarded([&] { dialog->SendMessage(WM_COMMAND, wParam, from ? static_cast<LPARAM>(from->m_hWnd) : 0); });
      *handled = true;
      return 0;
    }
    case WM_NOTIFY: {
      w32::Handle control = nullptr;
      if (w32::IsToolTipRequest(lParam, &control)) {
        const HWND h = afx::LayerHandle(control);
        w32::AnswerToolTip(lParam, w32::Wide(h ? ToolTipText(*dialog, h).c_str() : ""));
        *handled = true;
        return 0;
      }
      w32::Handle from = nullptr;
      unsigned code = 0;
      w32::NotifyHeader(lParam, &from, &code);
      CWnd* sender = afx::LookupWidget(from);
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
  const HWND target = afx::LayerHandle(q.window, true);
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

// ---- Painting, metrics ------------------------------------------------------------

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

BOOL CDialog::EnableToolTips(BOOL enable) {
  if (m_pWindow == nullptr) return FALSE;
  m_bToolTips = enable != FALSE;
  if (m_bToolTips && m_hToolTips == nullptr) {
    m_hToolTips = w32::CreateToolTips(m_pWindow);
    for (AfxNativeWindow* item : m_itemWidgets) {
      if (item && m_hToolTips) w32::AddTool(m_hToolTips, m_pWindow, item);
    }
  }
  return TRUE;
}
