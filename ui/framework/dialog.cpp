// The parts of a dialog that are the same over every back end: its message
// map, data exchange, the standard commands, closing as Cancel, its
// controls by identifier, the system menu and the icons.
#include "ui/framework/dialog.h"

#include "res/strings.h"
#include "ui/framework/controls.h"
#include "ui/framework/detail/control_wrapper.h"
#include "ui/framework/paint_dc.h"

namespace afx {

std::unique_ptr<CWnd> WrapperFor(DlgItemClass c) {
  switch (c) {
    case DlgItemClass::Button:
      return std::make_unique<CButton>();
    case DlgItemClass::Edit:
      return std::make_unique<CEdit>();
    case DlgItemClass::ComboBox:
      return std::make_unique<CComboBox>();
    case DlgItemClass::ListBox:
      return std::make_unique<CListBox>();
    case DlgItemClass::ListView:
      return std::make_unique<CListCtrl>();
    case DlgItemClass::Static:
      break;
  }
  return std::make_unique<CStatic>();
}

}  // namespace afx

const AFX_MSGMAP* CDialog::GetThisMessageMap() {
  using ThisClass = CDialog;
  static const AFX_MSGMAP_ENTRY entries[] = {
      ON_COMMAND(IDOK, &ThisClass::OnOK)                          //
      ON_COMMAND(IDCANCEL, &ThisClass::OnCancel)                  //
      {0, 0, 0, 0, AfxSig_end, nullptr},
  };
  static const AFX_MSGMAP map = {&CWnd::GetThisMessageMap, &entries[0]};
  return &map;
}

const AFX_MSGMAP* CDialog::GetMessageMap() const { return GetThisMessageMap(); }

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
  CDataExchange dx(this, saveAndValidate);
  DoDataExchange(&dx);
  return TRUE;
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::DoDataExchange(CDataExchange*) {}

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog() {
  if (m_pWindow != nullptr) DestroyDialogWindow();
}

void CDialog::ResetSystemMenu() {
  // The system builds the menu's own items; these stand for them so that
  // appended items follow them, as on every system.
  m_sysMenu.RemoveAll();
  const bool canMinimize = m_pTemplate && (m_pTemplate->style & WS_MINIMIZEBOX);
  m_sysMenu.AppendMenu(MF_STRING | (canMinimize ? 0 : MF_GRAYED), SC_MINIMIZE, res::kSysMenuMinimize);
  m_sysMenu.AppendMenu(MF_SEPARATOR);
  m_sysMenu.AppendMenu(MF_STRING, SC_CLOSE, res::kSysMenuClose);
}

// The end of every back end's default handling of a dialog's messages.
LRESULT CDialog::CloseOrDefault(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    // Closing is the Cancel command, unless a Cancel button is disabled.
    CWnd* cancel = GetDlgItem(IDCANCEL);
    if (cancel == nullptr || cancel->IsWindowEnabled()) {
      SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), cancel ? static_cast<LPARAM>(cancel->m_hWnd) : 0);
    }
    return 0;
  }
  if (message == WM_ICONERASEBKGND) {
    if (auto* dc = reinterpret_cast<CPaintDC*>(wParam)) dc->EraseBackground();
    return 0;
  }
  return CWnd::DefWindowProc(message, wParam, lParam);
}

void CDialog::ReleaseControls() {
  for (auto& [id, control] : m_controls) control->Detach();
  for (auto& control : m_ownedControls) control->Detach();
  m_controls.clear();
  m_ownedControls.clear();
  m_itemWidgets.clear();
}

CWnd* CDialog::GetDlgItem(int id) const {
  auto it = m_controls.find(id);
  return it == m_controls.end() ? nullptr : it->second;
}

void CDialog::SetDlgItemText(int id, const char* text) {
  if (CWnd* c = GetDlgItem(id)) c->SetWindowText(text);
}

UINT CDialog::GetDlgItemText(int id, char* buffer, int maxCount) const {
  if (CWnd* c = GetDlgItem(id)) return static_cast<UINT>(c->GetWindowText(buffer, maxCount));
  if (buffer && maxCount > 0) buffer[0] = '\0';
  return 0;
}

CMenu* CDialog::GetSystemMenu(BOOL revert) {
  if (!m_bHasSysMenu) return nullptr;
  if (revert) {
    ResetSystemMenu();
    return nullptr;
  }
  return &m_sysMenu;
}

HICON CDialog::SetIcon(HICON icon, BOOL bigIcon) {
  HICON& slot = bigIcon ? m_hIconBig : m_hIconSmall;
  HICON previous = slot;
  slot = icon;
  ApplyIcons();
  return previous;
}

HICON CDialog::GetIcon(BOOL bigIcon) const { return bigIcon ? m_hIconBig : m_hIconSmall; }

void CDialog::UpdateDialogControls(CCmdTarget* target, BOOL disableIfNoHandler) {
  if (target == nullptr) return;
  for (auto& [id, control] : m_controls) {
    CCmdUI ui;
    ui.m_nID = static_cast<UINT>(id);
    ui.m_pOther = control;
    if (target->OnCmdMsg(ui.m_nID, CN_UPDATE_COMMAND_UI, &ui)) continue;
    if (disableIfNoHandler && afx::IsPushButton(*control) && id != IDOK &&
        id != IDCANCEL && target->FindMessageEntry(WM_COMMAND, BN_CLICKED, ui.m_nID) == nullptr) {
      control->EnableWindow(FALSE);
    }
  }
}

// The control of the template takes the dialog's own object for it.
void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
  if (dx == nullptr || dx->m_pDlgWnd == nullptr || dx->m_bSaveAndValidate) return;
  CDialog* dialog = dx->m_pDlgWnd;
  CWnd* layer = dialog->GetDlgItem(id);
  if (layer == nullptr || layer == &control) return;
  control.Attach(layer->m_pWindow, id, dialog, layer->m_dwStyle, layer->m_hWnd);
  dialog->m_controls[id] = &control;
}

