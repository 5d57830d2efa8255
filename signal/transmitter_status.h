// What a transmitter status means for the user: its log line (GBK text and
// line kind), the message box to show and the controls to switch. Shared by
// the dialog's status handler and the command-line transmitter.
#pragma once

#include "afx/afx_types.h"
#include "res/log_line_kind.h"

// Which set of the dialog's controls a status switches to.
enum class TxControls {
  kUnchanged,
  kIdle,      // 1005, 1007, 1010, 1011, 1001 enabled; 1012 disabled
  kNoDevice,  // 1011, 1012, 1001 disabled for the rest of the run
};

struct TransmitterStatusReport {
  bool hasLine = false;
  char text[128] = {};       // the log line, GBK, without the time prefix
  unsigned char kind = 0;    // the line kind in the message ring (LogLineKind)
  const char* box = nullptr;  // GBK text of a message box to show, or null
  TxControls controls = TxControls::kUnchanged;
};

// Status 6 (capabilities) and unknown statuses have no line.
TransmitterStatusReport DescribeTransmitterStatus(WPARAM status, LPARAM value);
