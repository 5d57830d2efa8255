// The transmitter thread: plays a station's time signal (BPC unless told
// otherwise) on the default output device from a frame boundary on, two
// 20-second buffers queued at all times, and reports its statuses: posted
// as WM_TX_STATUS to the dialog's window, or to a program's own reports.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/event.h"
#include "platform/local_time.h"
#include "platform/thread.h"
#include "platform/wave_out.h"
#include "afx/afx_types.h"
#include "signal/station.h"

inline constexpr UINT WM_TX_STATUS = WM_USER + 200;  // 1224

// wParam of WM_TX_STATUS; lParam as noted.
enum TransmitterStatus : WPARAM {
  kTxCountdown = 1,     // seconds until transmission begins
  kTxTransmitting = 2,  // N, the 20 seconds now playing (1 for the first): a BPC
                        // frame, or a third of a minute frame; where the device
                        // tells when its samples play, posted once they play on time
  kTxStopped = 3,       // 0
  kTxOpenFailed = 4,    // the device's error code
  kTxNoDevice = 5,      // 0
  kTxCapabilities = 6,  // the default device's WAVE_FORMAT_* flags
  // The device stopped playing while armed or transmitting: its stream broke
  // down (lParam: the device's error code), or no buffer finished for 20 s
  // past the time the playing one should have ended (lParam 0). The thread
  // has given the device back and is idle again, ready for a new start.
  kTxDeviceFailed = 7,
  // The tone and the seconds are now made for the device's sample clock,
  // which runs lParam / 10 ppm fast against the system clock (slow when
  // negative): posted when a correction is first taken into use and when
  // it has moved by kSampleClockReportPpm from the one posted last.
  kTxSampleClock = 8,
  // What played drifted off its second (the output stalled and went on, or
  // ran dry): the output was silenced and the transmission begins again on
  // the next boundary with a new countdown. lParam: the stalls since the start.
  kTxStalled = 9,
  // A whole frame played on its seconds, from its start to its end (for a
  // minute station all three of its pieces). lParam: such frames since the
  // start. No log line.
  kTxFrameSent = 10,
};

inline constexpr double kSampleClockReportPpm = 1.0;

// Where the thread's statuses go, on the thread itself: a program without a
// window gives its own. Report must not block.
class TransmitterReports {
 public:
  virtual void Report(TransmitterStatus status, LPARAM value) = 0;

 protected:
  ~TransmitterReports() = default;
};

// Shared by the dialog and the transmitter thread.
struct TransmitterContext {
  platform::EventHandle hQuitEvent;    // set by the dialog at shutdown
  platform::EventHandle hStopEvent;    // set by the stop command
  platform::EventHandle hStartEvent;   // set by the start command
  platform::EventHandle hExitedEvent;  // set by the thread when it ends on a quit
  HWND hDialogWnd = 0;                 // destination of the statuses; set before the thread starts
  // Instead of the window, where the statuses go; set before the thread starts.
  TransmitterReports* pReports = nullptr;
  // Written by the start command before it sets hStartEvent.
  std::atomic<int> nSampleRate{44100};
  // The station to imitate (null: BPC); written with the rate.
  std::atomic<const Station*> pStation{nullptr};
  // How far the time sent runs ahead of the system clock, in nanoseconds
  // (a time server's offset, a user's); written with the rate.
  std::atomic<std::int64_t> nOffsetNs{0};
  // Written with the rate: send the station's carrier itself rather than
  // the tone below it (a rate above twice the carrier), and how fast the
  // device's sample clock is known to run, in ppm (0: measured as it plays).
  std::atomic<bool> bCarrier{false};
  std::atomic<double> dSampleClockPpm{0.0};

  // The thread, beside the record.
  platform::Thread hThread;

  // The hardware the thread drives: null for the system's default output
  // device and clock. Tests put a scripted device and a virtual clock here;
  // a clock given here also times the watch over the device, which
  // otherwise runs on a steady clock that clock changes do not move.
  platform::WaveOutDevice* pDevice = nullptr;
  const platform::Clock* pClock = nullptr;
};

// Creates the four events and starts the thread. 1, or 0 when the events
// or the thread could not be had.
int StartTransmitterThread(TransmitterContext* ctx);

// Sets the quit event and waits until the thread has ended, at most 2000 ms,
// then closes the events. Returns 1.
int StopTransmitterThread(TransmitterContext* ctx);

// The thread's routine: 0 when there is no device, 100 after a quit.
int TransmitterThreadProc(TransmitterContext* ctx);
