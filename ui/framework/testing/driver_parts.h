// What each back end's half of the dialog test driver gives the half they
// share (dialog_driver_shared.cpp).
#pragma once

#include "ui/framework/testing/dialog_driver.h"

namespace afxtest {

// The frame's modal loop is on the stack and has not ended.
bool StillRunning(const AfxModalFrame& frame);

}  // namespace afxtest
