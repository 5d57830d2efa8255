// Inside the dialog layer: the class behind a template item, which every
// back end wraps around the controls it creates.
#pragma once

#include <memory>

#include "afx/dialog_template.h"
#include "ui/framework/wnd.h"

namespace afx {

// The wrapper object for a control of the given template class.
std::unique_ptr<CWnd> WrapperFor(DlgItemClass c);

// Whether a control's widget is a button, in its toolkit's own terms (each
// back end answers).
bool IsPushButton(const CWnd& control);

}  // namespace afx
