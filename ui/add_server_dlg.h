// Asks for one server's address and remark: for a new server ("add") or
// for changing a row of the server list editor ("modify").
#pragma once

#include "ui/framework/dialog.h"

class CAddServerDlg : public CDialog {
 public:
  explicit CAddServerDlg(CWnd* parent = nullptr);
  ~CAddServerDlg() override;

  int m_bAddMode = 1;        // nonzero: add; zero: modify (set by the caller)
  char m_szAddress[64] = {};  // modify: shown at the start; after OK: the normalised address
  char m_szRemark[64] = {};   // modify: shown at the start; after OK: the remark as typed

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnInitDialog() override;
  void OnOK() override;
  DECLARE_MESSAGE_MAP()

 private:
  // The box of a refused text; the dialog stays open with the focus on it.
  void Refuse(int control, const char* message);
};
