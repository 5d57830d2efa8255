// The main window: every control the user works with, the information log,
// the tool tips and the control states; it routes each command to the part
// of the program that carries it out.
#pragma once

#include <cstdint>
#include <string>

#include "log/msg_ring.h"
#include "ntp/ntp_client.h"
#include "ntp/ntp_result.h"
#include "servers/server_file.h"
#include "ui/framework/controls.h"
#include "ui/framework/dialog.h"

// A second instance asks the running one to come forward.
inline constexpr UINT WM_ACTIVATE_INSTANCE = WM_USER + 222;  // 1246

class CTempiolaDlg : public CDialog {
 public:
  explicit CTempiolaDlg(CWnd* parent = nullptr);
  ~CTempiolaDlg() override;

  CComboBox m_cbMode;    // transmit modes; item data: sample rate in Hz
  CListBox m_lbInfo;     // the information log
  CComboBox m_cbServer;  // NTP server entries
  CComboBox m_cbStation;  // the stations, in the order of kStations (item data: the index)
  CButton m_chkStandardTime;  // ticked: transmissions send the selected server's time
  // What the two lists showed when transmission began: while they are
  // disabled, a change (which an accessibility client can make) is put back.
  int m_stationShown = 0;
  int m_modeShown = 0;
  HICON m_hIcon;
  CString m_stationTip;  // built from the station table in the language in use
  int m_resultKind = kLogNtpResult;   // kinds of NTP result lines (LogLineKind, two in turn)
  int m_failKind = kLogNtpFailure;    // kinds of NTP failure lines (LogLineKind, two in turn)
  NtpClient m_ntpClient;
  NtpResult m_lastResult;
  int m_ntpPort = kNtpPort;  // the NTP service; tests point it at a server of their own
  ServerListFile m_serverList;  // where Server.dat is read and saved, fixed at start-up

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  BOOL PreTranslateMessage(MSG* msg) override;
  BOOL OnInitDialog() override;

  afx_msg void OnSysCommand(UINT id, LPARAM lParam);
  afx_msg void OnPaint();
  afx_msg HCURSOR OnQueryDragIcon();
  afx_msg void OnCalibrateClock();
  afx_msg void OnQueryServerTime();
  afx_msg void PlayTestSignal();
  afx_msg void OnStartTransmit();
  afx_msg void OnStopTransmit();
  afx_msg void OnStationChanged();
  afx_msg void OnModeChanged();
  afx_msg void OnModifyServers();
  afx_msg void OnHelpButton();
  afx_msg void OnDestroy();
  afx_msg BOOL OnToolTipNeedText(UINT id, NMHDR* header, LRESULT* result);
  afx_msg LRESULT OnLogLine(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnTransmitterStatus(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnActivateInstance(WPARAM wParam, LPARAM lParam);

  // Filling the server list at start-up (step 8 of the initialisation).
  void FillServerList();
  // Starting and stopping the transmitter thread with the dialog.
  void StartTransmitter();
  void StopTransmitter();
  // Both NTP commands: query the selected server, then set the clock or not.
  // False when the query failed (or there was no server to ask).
  bool RunNtpCommand(bool setClock);
  // With the box ticked, the start first asks the selected server: its
  // offset, logged, or false when there is none to send.
  bool StandardTimeOffset(std::int64_t& offsetNs);

  DECLARE_MESSAGE_MAP()
};
