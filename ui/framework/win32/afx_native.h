// The system's own window stands behind each window of the layer: the
// pointer is the window's system handle.
#pragma once

struct HWND__;
using AfxNativeWindow = HWND__;
