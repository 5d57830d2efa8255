#include "ui/add_server_dlg.h"

#include <cstdio>
#include <cstring>

#include "res/resource.h"
#include "res/strings.h"
#include "servers/server_entry.h"
#include "ui/framework/message_box.h"

namespace {

// Texts are taken from the edits into 63-byte buffers: 62 bytes and the
// terminator.
constexpr int kEditTextBuffer = static_cast<int>(kServerFieldMaxBytes) + 1;

}  // namespace

CAddServerDlg::CAddServerDlg(CWnd* parent) : CDialog(IDD_ADD_SERVER, parent) {}

CAddServerDlg::~CAddServerDlg() = default;

void CAddServerDlg::DoDataExchange(CDataExchange*) {}

BEGIN_MESSAGE_MAP(CAddServerDlg, CDialog)
END_MESSAGE_MAP()

BOOL CAddServerDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  if (!m_bAddMode) {
    SetWindowText(res::kModifyServerCaption);
    SetDlgItemText(IDC_SERVER_ADDRESS, m_szAddress);
    SetDlgItemText(IDC_SERVER_REMARK, m_szRemark);
  }
  return TRUE;
}

void CAddServerDlg::OnOK() {
  // The cut comes first: blanks before the host name count against the 62
  // bytes.
  GetDlgItemText(IDC_SERVER_ADDRESS, m_szAddress, kEditTextBuffer);
  NormalizeServerAddress(m_szAddress);
  if (m_szAddress[0] == '\0') {
    Refuse(IDC_SERVER_ADDRESS, res::kEnterServerAddress);
    return;
  }
  if (std::strchr(m_szAddress, '[') != nullptr) {
    Refuse(IDC_SERVER_ADDRESS, res::kAddressHasBracket);
    return;
  }
  GetDlgItemText(IDC_SERVER_REMARK, m_szRemark, kEditTextBuffer);
  if (std::strchr(m_szRemark, ']') != nullptr) {
    Refuse(IDC_SERVER_REMARK, res::kRemarkHasBracket);
    return;
  }
  CDialog::OnOK();
}

void CAddServerDlg::Refuse(int control, const char* message) {
  AfxMessageBox(message, MB_OK);
  if (CWnd* edit = GetDlgItem(control)) edit->SetFocus();
}
