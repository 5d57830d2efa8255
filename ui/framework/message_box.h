// Message boxes, and the report of an exception that escaped a handler.
#pragma once

#include "afx/exception.h"
#include "ui/framework/window_types.h"

// OK (MB_OK) or OK and Cancel (MB_OKCANCEL), modal over the program's
// active window; returns IDOK or IDCANCEL.
int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpId = 0);

// Reports an exception that escaped a handler in a message box.
void AfxReportException(CException* e);
