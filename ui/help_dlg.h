// The help box: the user's guide, read-only.
#pragma once

#include "ui/framework/dialog.h"

class CHelpDlg : public CDialog {
 public:
  explicit CHelpDlg(CWnd* parent = nullptr);

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnInitDialog() override;
  DECLARE_MESSAGE_MAP()
};
