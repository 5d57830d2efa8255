// Inside the dialog layer: the guard around the program's handlers, which
// every back end puts around each call into the program's code.
#pragma once

#include "afx/exception.h"
#include "ui/framework/message_box.h"

namespace afx {

// Runs a handler; an exception that escapes it is reported in a message box.
template <class F>
void Guarded(F&& f) {
  try {
    f();
  } catch (CException* e) {
    AfxReportException(e);
  } catch (...) {
    AfxReportException(nullptr);
  }
}

}  // namespace afx
