// Which window has the user's input, and taking it over for a window of
// this program when another program asks for that (a second instance).
#pragma once

#include "ui/framework/window_types.h"

// This program's window that has the input focus, 0 when another program's
// window has it.
HWND GetForegroundWindow();
// The thread that runs a window of this program (0 for other windows).
DWORD GetWindowThreadProcessId(HWND window, DWORD* processId);
DWORD GetCurrentThreadId();
// Joins the input state of two threads while a window is brought forward.
// Nothing to join on X11, where the window manager decides; always TRUE.
BOOL AttachThreadInput(DWORD attachThread, DWORD toThread, BOOL attach);
