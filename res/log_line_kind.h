// The kinds of the information log's lines, named by the transmitter and
// the NTP commands and carried to the log by the message ring. A line takes
// the place of the last one shown when both are of the same kind, so that a
// report repeated in the same words does not fill the list; lines that
// alternate between two kinds all stay.
#pragma once

enum LogLineKind : unsigned char {
  kLogNtpResult = 0,          // an NTP result, alternating with kLogNtpResultNext
  kLogClockSet = 1,
  kLogClockNotSet = 2,
  kLogNtpFailure = 3,         // a failed query, alternating with kLogNtpFailureNext
  kLogTxCountdown = 5,
  kLogTxProgress = 6,
  kLogTxStopped = 7,
  kLogNtpResultNext = 8,
  kLogTxFailedToStart = 8,    // the device did not open, or there is none
  kLogTxDeviceFailed = 9,     // of its own, so that it replaces no other line
  kLogStandardTime = 10,      // the standard-time start's lines, which replace none of the others
  kLogTxSampleClock = 11,     // the sample clock's correction, between the progress lines
  kLogTxStalled = 12,         // the output stalled: of its own, so that every stall stays in the log
  kLogNtpFailureNext = 15,
};
