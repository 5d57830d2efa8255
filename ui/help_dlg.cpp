#include "ui/help_dlg.h"

#include "res/resource.h"
#include "res/strings.h"

CHelpDlg::CHelpDlg(CWnd* parent) : CDialog(IDD_HELP, parent) {}

void CHelpDlg::DoDataExchange(CDataExchange* dx) { CDialog::DoDataExchange(dx); }

BOOL CHelpDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SetDlgItemText(IDC_HELP_TEXT, res::kHelpText);
  return TRUE;
}

BEGIN_MESSAGE_MAP(CHelpDlg, CDialog)
END_MESSAGE_MAP()
