// The fixed sets of enabled controls of the main dialog.
#pragma once

#include "ui/framework/dialog.h"

enum class ControlState { Idle, Transmitting, NoPlaybackDevice };

// Enables or disables the eight state controls for the state; a control the
// state leaves unchanged is not touched.
void ApplyControlState(CDialog& dialog, ControlState state);
