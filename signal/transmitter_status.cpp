#include "signal/transmitter_status.h"

#include <cstdio>

#include "res/strings.h"
#include "signal/transmitter.h"

namespace {

void SetLine(TransmitterStatusReport& r, const char* text, unsigned char kind) {
  std::snprintf(r.text, sizeof r.text, "%s", text);
  r.hasLine = true;
  r.kind = kind;
}

}  // namespace

TransmitterStatusReport DescribeTransmitterStatus(WPARAM status, LPARAM value) {
  TransmitterStatusReport r;
  switch (status) {
    case kTxCountdown:
      std::snprintf(r.text, sizeof r.text, res::kTxWaitingLine, static_cast<int>(value));
      r.hasLine = true;
      r.kind = kLogTxCountdown;
      break;
    case kTxTransmitting:
      std::snprintf(r.text, sizeof r.text, res::kTxProgressLine, static_cast<int>(value));
      r.hasLine = true;
      r.kind = kLogTxProgress;
      break;
    case kTxStopped:
      SetLine(r, res::kTxStoppedLine, kLogTxStopped);
      break;
    case kTxOpenFailed:
      SetLine(r, res::kTxOpenFailedLine, kLogTxFailedToStart);
      r.box = res::kTxOpenFailedBox;
      r.controls = TxControls::kIdle;
      break;
    case kTxNoDevice:
      SetLine(r, res::kTxNoDeviceLine, kLogTxFailedToStart);
      r.box = res::kTxNoDeviceBox;
      r.controls = TxControls::kNoDevice;
      break;
    case kTxDeviceFailed:
      SetLine(r, res::kTxDeviceFailedLine, kLogTxDeviceFailed);
      r.box = res::kTxDeviceFailedBox;
      r.controls = TxControls::kIdle;
      break;
    case kTxStalled:
      SetLine(r, res::kTxStalledLine, kLogTxStalled);
      break;
    case kTxSampleClock:
      std::snprintf(r.text, sizeof r.text, res::kTxSampleClockLine, static_cast<double>(value) / 10);
      r.hasLine = true;
      r.kind = kLogTxSampleClock;
      break;
    default:
      break;
  }
  return r;
}
