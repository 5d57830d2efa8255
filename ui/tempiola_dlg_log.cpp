// The information log: one line from the message ring per WM_LOG_LINE.
#include "log/log_line.h"
#include "log/msg_ring.h"
#include "platform/local_time.h"
#include "ui/tempiola_dlg.h"

namespace {

constexpr int kMaxLogLines = 128;

}  // namespace

LRESULT CTempiolaDlg::OnLogLine(WPARAM wParam, LPARAM) {
  if (wParam != 0) return 0;
  char text[kMsgRingTextSize];
  unsigned char kind = 0;
  if (!MsgRingGet(text, &kind, g_msgRing)) return 0;

  // The transmitter's clock: a line shows the second the thread saw (the
  // coarse clock behind time() can still read the second before).
  const platform::CivilTime now = platform::ToLocalTime(platform::CurrentTime());
  char line[kMsgRingTextSize];
  FormatLogLine(line, now.hour, now.minute, now.second, text);

  const int count = m_lbInfo.GetCount();
  if (count > 0) {
    // A line of the same kind as the last one takes its place.
    if (m_lbInfo.GetItemData(count - 1) == static_cast<DWORD_PTR>(kind)) {
      m_lbInfo.DeleteString(static_cast<UINT>(count - 1));
    } else if (count == kMaxLogLines) {
      m_lbInfo.DeleteString(0);
    }
  }
  const int index = m_lbInfo.InsertString(-1, line);
  m_lbInfo.SetItemData(index, kind);
  m_lbInfo.SetTopIndex(index);
  return 0;
}
