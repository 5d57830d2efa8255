#include "ui/add_server_dlg.h"

#include <cstdio>

#include "res/resource.h"
#include "res/strings.h"
#include "servers/server_entry.h"

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
    AfxMessageBox(res::kEnterServerAddress, MB_OK);
    if (CWnd* address = GetDlgItem(IDC_SERVER_ADDRESS)) address->SetFocus();
    return;
  }
  GetDlgItemText(IDC_SERVER_REMARK, m_szRemark, kEditTextBuffer);
  CDialog::OnOK();
}
