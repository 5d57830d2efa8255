// Inside the dialog layer: the program's top-level windows by handle and
// title, topmost first, as every back end reports them (see
// top_level_windows.h).
#pragma once

#include <string>

#include "ui/framework/window_types.h"

namespace afx {

void AddTopLevel(HWND handle, const std::string& titleGbk);
void SetTopLevelTitle(HWND handle, const std::string& titleGbk);
void RaiseTopLevel(HWND handle);
void RemoveTopLevel(HWND handle);

}  // namespace afx
