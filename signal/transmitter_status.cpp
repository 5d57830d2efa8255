#include "signal/transmitter_status.h"

#include <cstdio>

#include "res/strings.h"
#include "signal/transmitter.h"

namespace {

// The log line, the kind it has in the message ring, and what else the
// window does: a message box, the controls.
void SetLine(TransmitterStatusReport& r, const char* text, unsigned char kind, const char* box = nullptr,
             TxControls controls = TxControls::kUnchanged) {
  std::snprintf(r.text, sizeof r.text, "%s", text);
  r.hasLine = true;
  r.kind = kind;
  r.box = box;
  r.controls = controls;
}

}  // namespace

TransmitterStatusReport DescribeTransmitterStatus(WPARAM status, LPARAM value) {
  TransmitterStatusReport r;
  char line[sizeof r.text];
  switch (status) {
    case kTxCountdown:
      std::snprintf(line, sizeof line, res::kTxWaitingLine, static_cast<int>(value));
      SetLine(r, line, kLogTxCountdown);
      break;
    case kTxTransmitting:
      std::snprintf(line, sizeof line, res::kTxProgressLine, static_cast<int>(value));
      SetLine(r, line, kLogTxProgress);
      break;
    case kTxStopped:
      SetLine(r, res::kTxStoppedLine, kLogTxStopped);
      break;
    case kTxOpenFailed:
      SetLine(r, res::kTxOpenFailedLine, kLogTxFailedToStart, res::kTxOpenFailedBox, TxControls::kIdle);
      break;
    case kTxNoDevice:
      SetLine(r, res::kTxNoDeviceLine, kLogTxFailedToStart, res::kTxNoDeviceBox, TxControls::kNoDevice);
      break;
    case kTxDeviceFailed:
      SetLine(r, res::kTxDeviceFailedLine, kLogTxDeviceFailed, res::kTxDeviceFailedBox, TxControls::kIdle);
      break;
    case kTxStalled:
      SetLine(r, res::kTxStalledLine, kLogTxStalled);
      break;
    case kTxSampleClock:
      std::snprintf(line, sizeof line, res::kTxSampleClockLine, static_cast<double>(value) / 10);
      SetLine(r, line, kLogTxSampleClock);
      break;
    default:
      break;
  }
  return r;
}
