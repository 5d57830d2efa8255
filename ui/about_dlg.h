// The about box: icon, product name and version.
#pragma once

#include "ui/framework/dialog.h"

class CAboutDlg : public CDialog {
 public:
  CAboutDlg();

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  DECLARE_MESSAGE_MAP()
};
