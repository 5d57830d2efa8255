// The two NTP commands of the main dialog: ask the selected server for the
// time and log offset and delay; the calibration then moves the clock by the
// offset. Both run on the user-interface thread; the wait is bounded by the
// client's time-out.
#include <cstdio>

#include "log/msg_ring.h"
#include "ntp/wsocket_exception.h"
#include "res/resource.h"
#include "res/strings.h"
#include "servers/server_entry.h"
#include "ui/framework/message_box.h"
#include "ui/tempiola_dlg.h"

namespace {

// The combo box's text, and then the log line.
constexpr int kCommandBufferSize = 136;

// Keeps the wait cursor up until the command returns, however it returns.
class WaitCursor {
 public:
  explicit WaitCursor(CCmdTarget& target) : target_(target) { target_.BeginWaitCursor(); }
  ~WaitCursor() { target_.EndWaitCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  CCmdTarget& target_;
};

}  // namespace

void CTempiolaDlg::OnCalibrateClock() { RunNtpCommand(true); }

void CTempiolaDlg::OnQueryServerTime() { RunNtpCommand(false); }

bool CTempiolaDlg::RunNtpCommand(bool setClock) {
  if (m_cbServer.GetCount() == 0) {
    AfxMessageBox(res::kNoNtpServer, MB_OK);
    return false;
  }
  WaitCursor waitCursor(*this);

  char buffer[kCommandBufferSize];
  GetDlgItemText(IDC_SERVER_LIST, buffer, sizeof buffer);
  char* host = nullptr;
  char* remark = nullptr;
  ParseServerEntry(buffer, host, remark);

  try {
    m_ntpClient.Query(host, m_lastResult, m_ntpPort);
  } catch (CWSocketException* e) {
    e->Delete();
    std::snprintf(buffer, sizeof buffer, res::kNtpQueryFailed, m_cbServer.GetCurSel() + 1);
    m_failKind = kLogNtpFailure + kLogNtpFailureNext - m_failKind;
    LogLine(buffer, static_cast<unsigned char>(m_failKind));
    return false;
  }

  std::snprintf(buffer, sizeof buffer, res::kNtpQuerySucceeded, m_cbServer.GetCurSel() + 1, m_lastResult.offset,
                m_lastResult.delay);
  m_resultKind = kLogNtpResult + kLogNtpResultNext - m_resultKind;
  LogLine(buffer, static_cast<unsigned char>(m_resultKind));
  if (!setClock) return true;

  // Read again: the query's own time has passed since the reply came in.
  const NtpTimestamp corrected = NtpTimestamp::Now().AddSeconds(m_lastResult.offset);
  if (m_ntpClient.SetSystemClock(corrected))
    LogLine(res::kClockSet, kLogClockSet);
  else
    LogLine(res::kClockNotSet, kLogClockNotSet);
  return true;
}
