// The application object and the program's entry into the dialog layer.
#pragma once

#include <string>

#include "ui/framework/cmd_target.h"

class CWinApp : public CCmdTarget {
 public:
  explicit CWinApp(const char* appName = nullptr);
  ~CWinApp() override;

  virtual BOOL InitApplication();
  virtual BOOL InitInstance();
  virtual int ExitInstance();

  HICON LoadIcon(UINT id) const;

  CWnd* m_pMainWnd = nullptr;
  const char* m_pszAppName = nullptr;  // GBK; from the executable's name unless given

 protected:
  static const AFX_MSGMAP* GetThisMessageMap();
  const AFX_MSGMAP* GetMessageMap() const override;
  afx_msg void OnHelp();

 private:
  std::string m_appName;
  friend int AfxWinMain(int argc, char** argv);
  friend const char* AfxGetAppName();
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
const char* AfxGetAppName();

// Starts the window toolkit, then InitApplication and InitInstance of the
// one CWinApp object; FALSE from either ends the program without a message
// loop. Returns the process's exit status.
int AfxWinMain(int argc, char** argv);

void AfxEnableControlContainer();
BOOL AfxSocketInit();
