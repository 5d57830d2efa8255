#include "bpc/transmitter_status.h"

#include <cstdio>

#include "bpc/transmitter.h"
#include "res/strings.h"

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
      r.kind = 5;
      break;
    case kTxTransmitting:
      std::snprintf(r.text, sizeof r.text, res::kTxProgressLine, static_cast<int>(value));
      r.hasLine = true;
      r.kind = 6;
      break;
    case kTxStopped:
      SetLine(r, res::kTxStoppedLine, 7);
      break;
    case kTxOpenFailed:
      SetLine(r, res::kTxOpenFailedLine, 8);
      r.box = res::kTxOpenFailedBox;
      r.controls = TxControls::kIdle;
      break;
    case kTxNoDevice:
      SetLine(r, res::kTxNoDeviceLine, 8);
      r.box = res::kTxNoDeviceBox;
      r.controls = TxControls::kNoDevice;
      break;
    case kTxDeviceFailed:
      // A kind of its own, so that it replaces no other line.
      SetLine(r, res::kTxDeviceFailedLine, 9);
      r.box = res::kTxDeviceFailedBox;
      r.controls = TxControls::kIdle;
      break;
    default:
      break;
  }
  return r;
}
