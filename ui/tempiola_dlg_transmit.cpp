// The transmitter's side of the main dialog: start and stop commands, its
// status reports, the test signal, and the thread's life with the dialog.
#include <cstdio>
#include <memory>

#include "log/msg_ring.h"
#include "res/resource.h"
#include "res/strings.h"
#include "signal/station_table.h"
#include "signal/time_base.h"
#include "signal/transmit_mode.h"
#include "signal/transmitter_status.h"
#include "ui/control_states.h"
#include "ui/framework/message_box.h"
#include "ui/tempiola_dlg.h"
#include "ui/transmitter_link.h"

TransmitterContext g_txContext;
TestSignalPlayer::DeviceFactory g_testSignalDevice = platform::CreateWaveOutDevice;

namespace {

// The test signal plays on after its command returns; its device and buffer
// stay here until the next test signal or until the window closes.
std::unique_ptr<TestSignalPlayer> g_testSignal;

}  // namespace

void CTempiolaDlg::PlayTestSignal() {
  if (!g_testSignal) g_testSignal = std::make_unique<TestSignalPlayer>(g_testSignalDevice);
  g_testSignal->Play();
}

void CTempiolaDlg::OnStartTransmit() {
  // No thread (it could not be started): there is nobody to hear the start.
  if (!g_txContext.hStartEvent) return;
  const int index = m_cbMode.GetCurSel();
  if (index < 0) return;
  std::int64_t offsetNs = 0;
  if (m_chkStandardTime.GetCheck() == BST_CHECKED && !StandardTimeOffset(offsetNs)) {
    // Sending the computer's time after the user asked for the server's
    // would report success for what was not done.
    LogLine(res::kStandardTimeMissing, kLogStandardTime);
    return;
  }
  g_txContext.nOffsetNs = offsetNs;
  const auto rate = static_cast<unsigned>(m_cbMode.GetItemData(index));
  const TransmitMode* mode = FindTransmitMode(rate);
  g_txContext.nSampleRate = static_cast<int>(rate);
  g_txContext.bCarrier = mode != nullptr && mode->carrier;
  const int station = m_cbStation.GetCurSel();
  const DWORD_PTR row = station < 0 ? 0 : m_cbStation.GetItemData(station);
  g_txContext.pStation = &kStations[row < std::size(kStations) ? row : 0];
  m_stationShown = station;
  m_modeShown = index;
  g_txContext.hStartEvent->Set();
  ApplyControlState(*this, ControlState::Transmitting);
}

// A disabled list shows what is sent, whatever changes it.
void CTempiolaDlg::OnStationChanged() {
  if (!m_cbStation.IsWindowEnabled()) m_cbStation.SetCurSel(m_stationShown);
}

void CTempiolaDlg::OnModeChanged() {
  if (!m_cbMode.IsWindowEnabled()) m_cbMode.SetCurSel(m_modeShown);
}

bool CTempiolaDlg::StandardTimeOffset(std::int64_t& offsetNs) {
  if (!RunNtpCommand(false) || !OffsetNanoseconds(m_lastResult.offset, offsetNs)) return false;
  char line[128];
  std::snprintf(line, sizeof line, res::kStandardTimeInUse, m_lastResult.offset);
  LogLine(line, kLogStandardTime);
  return true;
}

void CTempiolaDlg::OnStopTransmit() {
  if (!g_txContext.hStopEvent) return;
  g_txContext.hStopEvent->Set();
  ApplyControlState(*this, ControlState::Idle);
}

LRESULT CTempiolaDlg::OnTransmitterStatus(WPARAM wParam, LPARAM lParam) {
  if (wParam == kTxCapabilities) {
    const auto formats = static_cast<std::uint32_t>(lParam);
    for (const TransmitMode& mode : kTransmitModes) {
      if (mode.capability != 0 && (formats & mode.capability)) {
        m_cbMode.SetItemData(m_cbMode.AddString(*mode.text), mode.rate);
      }
    }
    return 0;
  }
  const TransmitterStatusReport report = DescribeTransmitterStatus(wParam, lParam);
  if (report.hasLine) LogLine(report.text, report.kind);
  if (report.controls == TxControls::kIdle) ApplyControlState(*this, ControlState::Idle);
  if (report.controls == TxControls::kNoDevice) ApplyControlState(*this, ControlState::NoPlaybackDevice);
  if (report.box != nullptr) AfxMessageBox(report.box, MB_OK);
  return 0;
}

void CTempiolaDlg::StartTransmitter() {
  g_txContext.hDialogWnd = m_hWnd;
  // Without its thread the program cannot transmit, which the user learns
  // the way a missing playback device is reported.
  if (!StartTransmitterThread(&g_txContext)) PostMessage(WM_TX_STATUS, kTxNoDevice, 0);
}

void CTempiolaDlg::StopTransmitter() {
  StopTransmitterThread(&g_txContext);
  g_txContext.hDialogWnd = 0;
  g_testSignal.reset();
}
