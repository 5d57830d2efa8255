// Dialogs built from templates and run modally; the toolkit's events turned
// into the messages that the dialog's map and PreTranslateMessage see.
#include <wx/listctrl.h>
#include <wx/statline.h>

#include <cstring>

#include "res/strings.h"
#include "ui/framework/wx/afx_impl.h"

namespace {

struct PostedMessage {
  unsigned message;
  std::uintptr_t wParam;
  std::intptr_t lParam;
};

wxDEFINE_EVENT(AFX_EVT_POSTED, wxThreadEvent);

// The window that a paint context may paint as a paint event's target.
wxWindow* g_paintTarget = nullptr;

long FrameStyle(const DlgTemplate& t) {
  long style = 0;
  if ((t.style & WS_CAPTION) == WS_CAPTION) style |= wxCAPTION;
  if (t.style & WS_SYSMENU) style |= wxSYSTEM_MENU | wxCLOSE_BOX;
  if (t.style & WS_MINIMIZEBOX) style |= wxMINIMIZE_BOX;
  return style;
}

}  // namespace

class AfxDialogWindow : public wxDialog {
 public:
  AfxDialogWindow(CDialog* owner, wxWindow* parent, const DlgTemplate& t)
      : wxDialog(parent, wxID_ANY, afx::ToWx(t.caption), wxDefaultPosition, wxDefaultSize, FrameStyle(t)),
        owner_(owner) {
    SetFont(afx::TemplateFont(t));
    SetClientSize(ConvertDialogToPixels(wxSize(t.cx, t.cy)));
    Bind(wxEVT_BUTTON, &AfxDialogWindow::OnButton, this);
    Bind(wxEVT_CHOICE, &AfxDialogWindow::OnChoice, this);
    Bind(wxEVT_CLOSE_WINDOW, &AfxDialogWindow::OnClose, this);
    Bind(wxEVT_CHAR_HOOK, &AfxDialogWindow::OnCharHook, this);
    Bind(AFX_EVT_POSTED, &AfxDialogWindow::OnPosted, this);
    Bind(wxEVT_ACTIVATE, &AfxDialogWindow::OnActivate, this);
    Bind(wxEVT_RIGHT_UP, &AfxDialogWindow::OnBackgroundRightUp, this);
    if (AfxDialogAccess::HasRow(*owner, WM_PAINT)) Bind(wxEVT_PAINT, &AfxDialogWindow::OnPaintEvent, this);
    BindInput(this);
  }

  // No event reaches the dialog object any more.
  void Orphan() { owner_ = nullptr; }

  // Sets the control's tip to what the dialog answers for it now. Asked
  // once for every control when the dialog is up, since a combo box's inner
  // widgets take the pointer and it never sees it enter; asked again
  // whenever it enters a control that does see it.
  void AskToolTip(CWnd* control) {
    if (owner_ == nullptr || control == nullptr || control == owner_ || control->GetNativeWindow() == nullptr) return;
    const std::string text = AfxDialogAccess::ToolTipText(*owner_, control->GetDlgCtrlID());
    if (text.empty()) {
      control->GetNativeWindow()->UnsetToolTip();
    } else {
      control->GetNativeWindow()->SetToolTip(afx::ToWx(text.c_str()));
    }
  }

  // Mouse and key-up input of a widget (and the widgets inside it) go to
  // PreTranslateMessage; entering it asks for its tool tip.
  void BindInput(wxWindow* w) {
    w->Bind(wxEVT_LEFT_DOWN, &AfxDialogWindow::OnMouseInput, this);
    w->Bind(wxEVT_LEFT_UP, &AfxDialogWindow::OnMouseInput, this);
    w->Bind(wxEVT_RIGHT_DOWN, &AfxDialogWindow::OnMouseInput, this);
    w->Bind(wxEVT_MOTION, &AfxDialogWindow::OnMouseInput, this);
    w->Bind(wxEVT_KEY_UP, &AfxDialogWindow::OnKeyUp, this);
    if (w != this) w->Bind(wxEVT_ENTER_WINDOW, &AfxDialogWindow::OnEnter, this);
    for (wxWindow* child : w->GetChildren()) {
      if (!child->IsTopLevel()) BindInput(child);
    }
  }

  void BindDoubleClick(wxWindow* list, int id) {
    for (wxWindow* child : list->GetChildren()) {
      child->Bind(wxEVT_LEFT_DCLICK, [this, id](wxMouseEvent& e) {
        e.Skip();
        // After the list has handled the click itself, as the system does.
        CallAfter([this, id] {
          if (owner_) AfxDialogAccess::DoubleClick(*owner_, id);
        });
      });
    }
  }

  void PopupSystemMenu(const wxPoint& at) {
    if (owner_ == nullptr) return;
    CMenu* menu = owner_->GetSystemMenu(FALSE);
    if (menu == nullptr) return;
    wxMenu popup;
    const auto& items = menu->Items();
    for (std::size_t i = 0; i < items.size(); ++i) {
      if (items[i].flags & MF_SEPARATOR) {
        popup.AppendSeparator();
        continue;
      }
      wxMenuItem* item = popup.Append(wxID_HIGHEST + 1 + static_cast<int>(i), afx::ToWx(items[i].text.c_str()));
      if (items[i].flags & MF_GRAYED) item->Enable(false);
    }
    const int chosen = GetPopupMenuSelectionFromUser(popup, at);
    if (chosen == wxID_NONE) return;
    const std::size_t index = static_cast<std::size_t>(chosen - wxID_HIGHEST - 1);
    if (index >= items.size()) return;
    const UINT command = items[index].id;
    CallAfter([this, command] {
      if (owner_) AfxDialogAccess::SystemCommand(*owner_, command);
    });
  }

 private:
  void OnButton(wxCommandEvent& e) {
    if (owner_ == nullptr) return;
    AfxDialogAccess::Command(*owner_, e.GetId());
  }

  // A change of a combo box's selection by the user or an accessibility
  // client (which can change a disabled one), as Windows tells it.
  void OnChoice(wxCommandEvent& e) {
    if (owner_ == nullptr) return;
    AfxDialogAccess::Notify(*owner_, e.GetId(), CBN_SELCHANGE);
  }

  void OnClose(wxCloseEvent& e) {
    if (owner_ == nullptr || !e.CanVeto()) {
      if (owner_) owner_->EndDialog(IDCANCEL);
      e.Skip();
      return;
    }
    e.Veto();
    AfxDialogAccess::Close(*owner_);
  }

  void OnCharHook(wxKeyEvent& e) {
    if (owner_ == nullptr) return e.Skip();
    const UINT vk = afx::VirtualKey(e.GetKeyCode());
    if (vk == 0 || !AfxDialogAccess::KeyDown(*owner_, vk, e.AltDown())) e.Skip();
  }

  void OnPosted(wxThreadEvent& e) {
    if (owner_ == nullptr) return;
    const auto m = e.GetPayload<PostedMessage>();
    CDialog* dialog = owner_;
    afx::Guarded([&] {
      MSG msg{dialog->m_hWnd, m.message, m.wParam, m.lParam, 0, {0, 0}};
      if (!dialog->PreTranslateMessage(&msg)) dialog->WindowProc(m.message, m.wParam, m.lParam);
    });
  }

  void OnActivate(wxActivateEvent& e) {
    if (e.GetActive() && owner_) afx::RaiseTopLevel(owner_->m_hWnd);
    e.Skip();
  }

  void OnBackgroundRightUp(wxMouseEvent& e) {
    if (owner_ && AfxDialogAccess::Input(*owner_, owner_, WM_RBUTTONUP)) return;
    PopupSystemMenu(e.GetPosition());
  }

  void OnPaintEvent(wxPaintEvent&) {
    if (owner_ == nullptr) {
      wxPaintDC dc(this);
      return;
    }
    g_paintTarget = this;
    CDialog* dialog = owner_;
    afx::Guarded([&] { dialog->SendMessage(WM_PAINT); });
    g_paintTarget = nullptr;
  }

  static UINT MessageOf(wxEventType type) {
    if (type == wxEVT_LEFT_DOWN) return WM_LBUTTONDOWN;
    if (type == wxEVT_LEFT_UP) return WM_LBUTTONUP;
    if (type == wxEVT_RIGHT_DOWN) return WM_RBUTTONDOWN;
    if (type == wxEVT_KEY_UP) return WM_KEYUP;
    return WM_MOUSEMOVE;
  }

  CWnd* ControlOf(wxWindow* w) const {
    for (; w != nullptr && w != this; w = w->GetParent()) {
      if (CWnd* c = afx::LookupWidget(w)) return c;
    }
    return owner_;
  }

  void OnMouseInput(wxMouseEvent& e) { OnInput(e); }
  void OnKeyUp(wxKeyEvent& e) { OnInput(e); }

  void OnInput(wxEvent& e) {
    e.Skip();
    if (owner_ == nullptr) return;
    CWnd* target = ControlOf(dynamic_cast<wxWindow*>(e.GetEventObject()));
    if (AfxDialogAccess::Input(*owner_, target, MessageOf(e.GetEventType()))) e.Skip(false);
  }

  void OnEnter(wxMouseEvent& e) {
    e.Skip();
    if (owner_ == nullptr) return;
    AskToolTip(ControlOf(dynamic_cast<wxWindow*>(e.GetEventObject())));
  }

  CDialog* owner_;
};

// ---------------------------------------------------------------------------

void CDialog::ApplyIcons() {
  auto* tl = dynamic_cast<wxTopLevelWindow*>(m_pWindow);
  if (tl == nullptr) return;
  wxIconBundle bundle;
  if (m_hIconBig) bundle.AddIcon(m_hIconBig->large);
  if (m_hIconSmall) bundle.AddIcon(m_hIconSmall->small);
  tl->SetIcons(bundle);
}

namespace {

long Border(const DlgItemTemplate& item) { return (item.style & WS_BORDER) ? wxBORDER_SUNKEN : wxBORDER_NONE; }

}  // namespace

void CDialog::CreateControls() {
  auto* w = static_cast<AfxDialogWindow*>(m_pWindow);
  for (int i = 0; i < m_pTemplate->itemCount; ++i) {
    const DlgItemTemplate& item = m_pTemplate->items[i];
    const wxPoint pos = w->ConvertDialogToPixels(wxPoint(item.x, item.y));
    const wxSize size = w->ConvertDialogToPixels(wxSize(item.cx, item.cy));
    const wxWindowID id = item.id < 0 ? wxID_ANY : item.id;
    wxWindow* widget = nullptr;
    switch (item.itemClass) {
      case DlgItemClass::Button: {
        if ((item.style & 0xF) == BS_AUTOCHECKBOX) {
          widget = new wxCheckBox(w, id, afx::ToWx(item.text), pos, size);
          break;
        }
        auto* b = new wxButton(w, id, afx::ToWx(item.text), pos, size);
        if ((item.style & 0xF) == BS_DEFPUSHBUTTON) b->SetDefault();
        widget = b;
        break;
      }
      case DlgItemClass::Edit: {
        long style = Border(item);
        if (item.style & ES_MULTILINE) {
          style |= wxTE_MULTILINE | ((item.style & ES_AUTOHSCROLL) ? wxTE_DONTWRAP : wxTE_BESTWRAP);
        }
        if (item.style & ES_READONLY) style |= wxTE_READONLY;
        widget = new wxTextCtrl(w, id, afx::ToWx(item.text), pos, size, style);
        break;
      }
      case DlgItemClass::Static: {
        const std::uint32_t kind = item.style & 0x1F;
        if (kind == SS_ICON) {
          HICON icon = afx::LoadIconResource(item.imageId);
          const wxBitmap bitmap = icon ? wxBitmap(icon->large) : wxBitmap();
          widget = new wxStaticBitmap(w, id, bitmap, pos, bitmap.IsOk() ? bitmap.GetSize() : size);
        } else if (kind == SS_ETCHEDHORZ) {
          widget = new wxStaticLine(w, id, pos, wxSize(size.x, 2), wxLI_HORIZONTAL);
        } else {
          auto* label = new wxStaticText(w, id, wxString(), pos, size, wxST_NO_AUTORESIZE);
          if (item.style & SS_NOPREFIX) {
            label->SetLabelText(afx::ToWx(item.text));
          } else {
            label->SetLabel(afx::ToWx(item.text));
          }
          widget = label;
        }
        break;
      }
      case DlgItemClass::ComboBox:
        // The template's height is the opened list's; the closed box takes
        // the toolkit's own height.
        widget = new wxChoice(w, id, pos, wxSize(size.x, -1));
        break;
      case DlgItemClass::ListBox:
        widget = new wxListBox(w, id, pos, size, 0, nullptr, wxLB_SINGLE | Border(item));
        break;
      case DlgItemClass::ListView: {
        long style = wxLC_REPORT | Border(item);
        if (item.style & LVS_SINGLESEL) style |= wxLC_SINGLE_SEL;
        widget = new wxListCtrl(w, id, pos, size, style);
        w->BindDoubleClick(widget, item.id);
        break;
      }
    }
    if ((item.style & WS_VISIBLE) == 0) widget->Hide();
    if (item.style & WS_DISABLED) widget->Disable();
    w->BindInput(widget);
    m_itemWidgets.push_back(widget);
    if (item.id >= 0) {
      std::unique_ptr<CWnd> wrapper = afx::WrapperFor(item.itemClass);
      wrapper->Attach(widget, item.id, this, item.style);
      m_controls[item.id] = wrapper.get();
      m_ownedControls.push_back(std::move(wrapper));
    }
  }
}

INT_PTR CDialog::DoModal() {
  m_pTemplate = FindDialogTemplate(static_cast<int>(m_nIDTemplate));
  if (m_pTemplate == nullptr || wxTheApp == nullptr) return -1;
  wxWindow* parent = m_pParentWnd ? m_pParentWnd->m_pWindow : afx::ActiveWindow();
  auto* window = new AfxDialogWindow(this, parent, *m_pTemplate);
  m_pWindow = window;
  m_nModalResult = -1;
  m_bEnded = false;
  m_bToolTips = false;
  m_bHasSysMenu = (m_pTemplate->style & WS_SYSMENU) != 0;
  ResetSystemMenu();
  m_hWnd = platform::RegisterWindow([window](unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    auto* event = new wxThreadEvent(AFX_EVT_POSTED);
    event->SetPayload(PostedMessage{message, wParam, lParam});
    wxQueueEvent(window, event);
  });
  m_bOwnsHandle = true;
  afx::MapHandle(m_hWnd, this);
  afx::AddTopLevel(m_hWnd, m_pTemplate->caption ? m_pTemplate->caption : "");
  CreateControls();

  BOOL focusFirst = TRUE;
  afx::Guarded([&] { focusFirst = OnInitDialog(); });
  if (m_bToolTips) {
    for (auto& [id, control] : m_controls) window->AskToolTip(control);
  }
  if (focusFirst) {
    for (int i = 0; i < m_pTemplate->itemCount; ++i) {
      wxWindow* widget = m_itemWidgets[static_cast<std::size_t>(i)];
      if ((m_pTemplate->items[i].style & WS_TABSTOP) && widget->IsShown() && widget->IsThisEnabled()) {
        widget->SetFocus();
        break;
      }
    }
  }

  if (!m_bEnded) {
    if (parent) {
      window->CentreOnParent();
    } else {
      window->CentreOnScreen();
    }
    AfxModalFrame frame;
    frame.kind = AfxModalFrame::Kind::Dialog;
    frame.dialog = this;
    frame.window = window;
    afx::PushModal(&frame);
    afx::NotifyModalStarted(&frame);
    m_bInModal = true;
    window->ShowModal();
    m_bInModal = false;
    afx::PopModal(&frame);
  }
  DestroyDialogWindow();
  return m_nModalResult;
}

void CDialog::DestroyDialogWindow() {
  afx::Guarded([&] { SendMessage(WM_DESTROY); });
  auto* window = static_cast<AfxDialogWindow*>(m_pWindow);
  afx::RemoveTopLevel(m_hWnd);
  ReleaseControls();
  Detach();  // no post reaches the window from here on
  window->Orphan();
  window->Destroy();
}

void CDialog::EndDialog(int result) {
  m_nModalResult = result;
  m_bEnded = true;
  auto* window = dynamic_cast<wxDialog*>(m_pWindow);
  if (m_bInModal && window && window->IsModal()) window->EndModal(result);
}

LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  auto* tl = dynamic_cast<wxTopLevelWindow*>(m_pWindow);
  if (message == WM_SYSCOMMAND) {
    switch (wParam & 0xFFF0) {
      case SC_CLOSE:
        return DefWindowProc(WM_CLOSE, 0, 0);
      case SC_MINIMIZE:
        if (tl) tl->Iconize(true);
        return 0;
      case SC_RESTORE:
        if (tl) tl->Iconize(false);
        return 0;
      default:
        return 0;
    }
  }
  return CloseOrDefault(message, wParam, lParam);
}

// ---------------------------------------------------------------------------

bool AfxDialogAccess::KeyDown(CDialog& dialog, UINT vk, bool alt) {
  bool handled = true;
  afx::Guarded([&] {
    CWnd* focus = CWnd::GetFocus();
    MSG msg{focus ? focus->m_hWnd : dialog.m_hWnd, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, 0, 0, {0, 0}};
    if (dialog.PreTranslateMessage(&msg)) return;
    auto* window = static_cast<AfxDialogWindow*>(dialog.m_pWindow);
    if (alt && vk == VK_SPACE) {
      if (window) window->PopupSystemMenu(wxPoint(0, 0));
      return;
    }
    if (alt) {
      handled = false;
      return;
    }
    if (vk == VK_ESCAPE) {
      Command(dialog, IDCANCEL);
      return;
    }
    if (vk == VK_RETURN) {
      // A focused push button takes Return; else the default button, else IDOK.
      int id = IDOK;
      if (focus && focus->GetOwnerDialog() == &dialog && dynamic_cast<wxButton*>(focus->GetNativeWindow())) {
        id = focus->GetDlgCtrlID();
      } else {
        for (int i = 0; i < dialog.m_pTemplate->itemCount; ++i) {
          const DlgItemTemplate& item = dialog.m_pTemplate->items[i];
          if (item.itemClass == DlgItemClass::Button && (item.style & 0xF) == BS_DEFPUSHBUTTON) {
            id = item.id;
            break;
          }
        }
      }
      Command(dialog, id);
      return;
    }
    handled = false;
  });
  return handled;
}

bool AfxDialogAccess::Input(CDialog& dialog, CWnd* target, UINT message) {
  bool consumed = false;
  afx::Guarded([&] {
    MSG msg{target ? target->m_hWnd : dialog.m_hWnd, message, 0, 0, 0, {0, 0}};
    consumed = dialog.PreTranslateMessage(&msg) != FALSE;
  });
  return consumed;
}

void AfxDialogAccess::Command(CDialog& dialog, int id) {
  CWnd* control = dialog.GetDlgItem(id);
  if (control && !control->IsWindowEnabled()) return;  // a disabled button takes no command
  const LPARAM from = control ? static_cast<LPARAM>(control->m_hWnd) : 0;
  afx::Guarded(
      [&] { dialog.SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), static_cast<WORD>(BN_CLICKED)), from); });
}

void AfxDialogAccess::Notify(CDialog& dialog, int id, UINT code) {
  CWnd* control = dialog.GetDlgItem(id);
  const LPARAM from = control ? static_cast<LPARAM>(control->m_hWnd) : 0;
  afx::Guarded([&] { dialog.SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), static_cast<WORD>(code)), from); });
}

void AfxDialogAccess::DoubleClick(CDialog& dialog, int id) {
  CWnd* control = dialog.GetDlgItem(id);
  if (control == nullptr) return;
  NMHDR header{control->m_hWnd, static_cast<UINT_PTR>(id), NM_DBLCLK};
  afx::Guarded([&] { dialog.SendMessage(WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&header)); });
}

std::string AfxDialogAccess::ToolTipText(CDialog& dialog, int id) {
  if (!dialog.m_bToolTips) return std::string();
  CWnd* control = dialog.GetDlgItem(id);
  if (control == nullptr) return std::string();
  TOOLTIPTEXTA ttt{};
  ttt.hdr.hwndFrom = 0;  // the tool-tip control, identifier 0
  ttt.hdr.idFrom = control->m_hWnd;
  ttt.hdr.code = TTN_NEEDTEXTA;
  ttt.uFlags = TTF_IDISHWND;
  ttt.lpszText = ttt.szText;
  LRESULT result = 0;
  BOOL handled = FALSE;
  afx::Guarded([&] { handled = dialog.OnNotify(0, reinterpret_cast<LPARAM>(&ttt), &result); });
  if (!handled || ttt.lpszText == nullptr) return std::string();
  return std::string(ttt.lpszText, strnlen(ttt.lpszText, 1024));
}

void AfxDialogAccess::SystemCommand(CDialog& dialog, UINT command) {
  afx::Guarded([&] { dialog.SendMessage(WM_SYSCOMMAND, command, 0); });
}

void AfxDialogAccess::Close(CDialog& dialog) { SystemCommand(dialog, SC_CLOSE); }

// ---------------------------------------------------------------------------

struct CPaintDC::Impl {
  std::unique_ptr<wxDC> dc;
  wxWindow* window = nullptr;
};

CPaintDC::CPaintDC(CWnd* window) : impl_(std::make_unique<Impl>()) {
  wxWindow* w = window ? window->GetNativeWindow() : nullptr;
  impl_->window = w;
  if (w == nullptr) return;
  if (w == g_paintTarget) {
    impl_->dc = std::make_unique<wxPaintDC>(w);
  } else {
    impl_->dc = std::make_unique<wxClientDC>(w);
  }
}

CPaintDC::~CPaintDC() = default;

void CPaintDC::DrawIcon(int x, int y, HICON icon) {
  if (impl_->dc && icon) impl_->dc->DrawIcon(icon->large, x, y);
}

void CPaintDC::EraseBackground() {
  if (!impl_->dc || !impl_->window) return;
  impl_->dc->SetBackground(wxBrush(impl_->window->GetBackgroundColour()));
  impl_->dc->Clear();
}

int GetSystemMetrics(int index) {
  switch (index) {
    case SM_CXICON:
    case SM_CYICON:
      return 32;
    default:
      return 0;
  }
}

BOOL CDialog::EnableToolTips(BOOL enable) {
  m_bToolTips = enable != FALSE;
  return TRUE;
}
