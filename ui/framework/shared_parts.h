// Inside the dialog layer: what every back end does alike around the
// toolkit, the guard around handlers and the class behind a template item.
#pragma once

#include <exception>
#include <memory>

#include "ui/framework/afxwin.h"

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

// The wrapper object for a control of the given template class.
std::unique_ptr<CWnd> WrapperFor(DlgItemClass c);

}  // namespace afx
