// What the main dialog shares with the transmitter: the process-wide
// context of the transmitter thread, and the device the hidden test-signal
// command plays on. Both name the real default output device unless a test
// puts a scripted one in place before the dialog starts.
#pragma once

#include "signal/test_signal_player.h"
#include "signal/transmitter.h"

extern TransmitterContext g_txContext;
extern TestSignalPlayer::DeviceFactory g_testSignalDevice;
