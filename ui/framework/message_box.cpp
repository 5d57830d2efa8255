// The report of an exception that escaped a handler, over every back end's
// message box.
#include "ui/framework/message_box.h"

#include <cstdio>

#include "res/strings.h"

void AfxReportException(CException* e) {
  char text[512] = {0};
  if (e == nullptr || !e->GetErrorMessage(text, sizeof text) || text[0] == '\0') {
    std::snprintf(text, sizeof text, "%s", static_cast<const char*>(res::kInternalError));
  }
  if (e) e->Delete();
  AfxMessageBox(text, MB_OK);
}
