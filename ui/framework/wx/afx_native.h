// The window toolkit's widget stands behind each window of the layer.
#pragma once

class wxWindow;
using AfxNativeWindow = wxWindow;
