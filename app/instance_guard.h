// The single-instance guard: the per-user channel named after the
// program's identifier, created before main() runs. Held means another copy
// runs (the error value 183); the channel also lets a second copy list the
// first one's windows and ask it to bring its window forward.
#pragma once

#include "platform/instance_channel.h"
#include "ui/framework/window_types.h"

inline constexpr char kInstanceName[] = "{addb6c99-a98d-40f4-8099-0eb6999c8881}";
inline constexpr DWORD ERROR_ALREADY_EXISTS = 183;

extern platform::InstanceChannel* g_hInstanceMutex;  // null once closed
extern DWORD g_instanceMutexError;

// Creates the guard (static initialisation); a first instance starts
// answering the channel, a second one enumerates the first one's windows
// through it. Registers the closing of the guard at exit.
void CreateInstanceGuard();
