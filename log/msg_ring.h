// The message ring: every report for the user travels as one short GBK line
// with a kind byte through this small ring into the main dialog's
// information list. Producers put a line and post WM_LOG_LINE; the dialog
// takes one line per message.
#pragma once

#include <mutex>

#include "afx/afx_types.h"
#include "res/log_line_kind.h"

// A line is waiting in g_msgRing (wParam 0, lParam 0).
inline constexpr UINT WM_LOG_LINE = WM_USER + 100;

inline constexpr int kMsgRingSlots = 20;     // only 19 are used: positions wrap 18 -> 0
inline constexpr int kMsgRingTextSize = 128; // one NUL-terminated line per slot

struct MsgRing {
  std::mutex hMutex;  // guards every other field
  unsigned char readPos;   // oldest unread line
  unsigned char writePos;  // slot for the next line; equal to readPos = empty
  char text[kMsgRingSlots][kMsgRingTextSize];
  unsigned char kind[kMsgRingSlots];
};

extern MsgRing g_msgRing;

// Main dialog's window handle, target of WM_LOG_LINE; 0 until it exists.
extern HWND g_hMainDlg;

// Empties the ring and zeroes every slot.
void MsgRingInit(MsgRing& ring);

// Puts one line (cut to 127 bytes on a character boundary). When the ring is
// full the oldest unread line is dropped. Any thread.
void MsgRingPut(const char* text, unsigned char kind, MsgRing& ring);

// Takes the oldest unread line into dest (128 bytes) and its kind; returns 1,
// or 0 with dest and kind untouched when the ring is empty. Any thread.
int MsgRingGet(char* dest, unsigned char* kind, MsgRing& ring);

// Producer protocol for one line: put it into g_msgRing, then post
// WM_LOG_LINE to g_hMainDlg (after the ring's lock is released).
void LogLine(const char* text, unsigned char kind);
