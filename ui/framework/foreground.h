// Which window has the user's input, and taking it over for a window of
// this program when another program asks for that (a second instance).
#pragma once

#include "ui/framework/afx_msg.h"

// This program's window that has the input focus, 0 when another program's
// window has it.
HWND GetForegroundWindow();
// The thread that runs a window of this program (0 for other windows).
DWORD GetWindowThreadProcessId(HWND window, DWORD* processId);
DWORD GetCurrentThreadId();
// While attached, bringing a window forward counts as the user's own
// action, so the window manager gives it the focus.
BOOL AttachThreadInput(DWORD attachThread, DWORD toThread, BOOL attach);
