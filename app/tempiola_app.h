// The application object: one running copy per user, the executable's
// directory, and the main dialog run modally.
#pragma once

#include "ui/framework/winapp.h"

class CTempiolaApp : public CWinApp {
 public:
  CTempiolaApp();
  ~CTempiolaApp() override;

  BOOL InitInstance() override;
  BOOL InitApplication() override;

 protected:
  DECLARE_MESSAGE_MAP()
};

// Fills g_exeDir from the executable's path: the text up to its last
// directory separator (the whole text when there is none), then the
// system's separator, bounded to 260 bytes.
void SetExeDirFromPath(const char* path);
