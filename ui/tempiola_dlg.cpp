#include "ui/tempiola_dlg.h"

#include <cstring>
#include <iterator>

#include "log/msg_ring.h"
#include "res/resource.h"
#include "res/strings.h"
#include "signal/station_table.h"
#include "signal/transmit_mode.h"
#include "signal/transmitter.h"
#include "ui/about_dlg.h"
#include "ui/control_states.h"
#include "ui/framework/foreground.h"
#include "ui/framework/message_box.h"
#include "ui/framework/paint_dc.h"
#include "ui/framework/winapp.h"
#include "ui/help_dlg.h"

namespace {

struct ToolTip {
  int id;
  const res::Text* text;
};

constexpr ToolTip kToolTips[] = {
    {IDCANCEL, &res::kTipExit},
    {IDC_SERVER_LIST, &res::kTipServerList},
    {IDC_MODE, &res::kTipMode},
    {IDC_STATION, nullptr},  // m_stationTip
    {IDC_STANDARD_TIME, &res::kTipStandardTime},
    {IDC_CALIBRATE, &res::kTipCalibrate},
    {IDC_QUERY, &res::kTipQuery},
    {IDC_MODIFY_SERVERS, &res::kTipModifyServers},
    {IDC_START, &res::kTipStart},
    {IDC_STOP, &res::kTipStop},
    {IDC_HELP_BUTTON, &res::kTipHelp},
};

// Each station with where it stands, in the list's order; a family of
// rows (JJY40 and JJY60) is named once.
CString StationTipText() {
  CString list;
  const Station* named = nullptr;
  for (const Station& s : kStations) {
    if (named != nullptr && std::strcmp(named->tipName, s.tipName) == 0 && named->region == s.region) continue;
    named = &s;
    CString entry;
    entry.Format(res::kTipStationEntry, s.tipName, static_cast<const char*>(*s.region));
    if (list.IsEmpty()) {
      list = entry;
    } else {
      CString longer;
      longer.Format(res::kTipStationList, list.GetString(), entry.GetString());
      list = longer;
    }
  }
  CString tip;
  tip.Format(res::kTipStation, list.GetString());
  return tip;
}

}  // namespace

CTempiolaDlg::CTempiolaDlg(CWnd* parent) : CDialog(IDD_MAIN, parent) {
  m_hIcon = AfxGetApp() ? AfxGetApp()->LoadIcon(IDI_MAIN) : nullptr;
}

CTempiolaDlg::~CTempiolaDlg() = default;

void CTempiolaDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_MODE, m_cbMode);
  DDX_Control(dx, IDC_INFO, m_lbInfo);
  DDX_Control(dx, IDC_SERVER_LIST, m_cbServer);
  DDX_Control(dx, IDC_STATION, m_cbStation);
  DDX_Control(dx, IDC_STANDARD_TIME, m_chkStandardTime);
}

BEGIN_MESSAGE_MAP(CTempiolaDlg, CDialog)
  ON_WM_SYSCOMMAND()
  ON_WM_PAINT()
  ON_WM_QUERYDRAGICON()
  ON_BN_CLICKED(IDC_CALIBRATE, &CTempiolaDlg::OnCalibrateClock)
  ON_BN_CLICKED(IDC_QUERY, &CTempiolaDlg::OnQueryServerTime)
  ON_BN_CLICKED(IDC_TEST_START, &CTempiolaDlg::PlayTestSignal)
  ON_BN_CLICKED(IDC_START, &CTempiolaDlg::OnStartTransmit)
  ON_BN_CLICKED(IDC_STOP, &CTempiolaDlg::OnStopTransmit)
  ON_CBN_SELCHANGE(IDC_STATION, &CTempiolaDlg::OnStationChanged)
  ON_CBN_SELCHANGE(IDC_MODE, &CTempiolaDlg::OnModeChanged)
  ON_BN_CLICKED(IDC_MODIFY_SERVERS, &CTempiolaDlg::OnModifyServers)
  ON_BN_CLICKED(IDC_HELP_BUTTON, &CTempiolaDlg::OnHelpButton)
  ON_WM_DESTROY()
  ON_NOTIFY_EX(TTN_NEEDTEXTA, 0, &CTempiolaDlg::OnToolTipNeedText)
  ON_MESSAGE(WM_LOG_LINE, &CTempiolaDlg::OnLogLine)
  ON_MESSAGE(WM_TX_STATUS, &CTempiolaDlg::OnTransmitterStatus)
  ON_MESSAGE(WM_ACTIVATE_INSTANCE, &CTempiolaDlg::OnActivateInstance)
END_MESSAGE_MAP()

BOOL CTempiolaDlg::OnInitDialog() {
  CDialog::OnInitDialog();

  if (CMenu* sysMenu = GetSystemMenu(FALSE)) {
    CString about;
    about.LoadString(IDS_ABOUTBOX);
    if (!about.IsEmpty()) {
      sysMenu->AppendMenu(MF_SEPARATOR);
      sysMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, about);
    }
  }
  SetIcon(m_hIcon, TRUE);
  SetIcon(m_hIcon, FALSE);
  EnableToolTips(TRUE);
  m_stationTip = StationTipText();
  SetWindowText(res::kMainTitle);
  if (CWnd* stop = GetDlgItem(IDC_STOP)) stop->EnableWindow(FALSE);
  m_resultKind = kLogNtpResult;
  m_failKind = kLogNtpFailure;

  FillServerList();
  m_cbServer.SetCurSel(0);

  const int mode0 = m_cbMode.AddString(*kTransmitModes[0].text);
  m_cbMode.SetItemData(mode0, kTransmitModes[0].rate);
  m_cbMode.SetCurSel(mode0);
  for (int i = 0; i < kStationCount; ++i) m_cbStation.SetItemData(m_cbStation.AddString(kStations[i].name), i);
  m_cbStation.SetCurSel(0);

  if (!AfxSocketInit()) {
    AfxMessageBox(res::kWinsockInitFailed);
    return FALSE;
  }
  g_hMainDlg = m_hWnd;
  MsgRingInit(g_msgRing);
  StartTransmitter();
  return TRUE;
}

BOOL CTempiolaDlg::PreTranslateMessage(MSG* msg) {
  // Neither key may close the main window.
  if (msg->message == WM_KEYDOWN && (msg->wParam == VK_ESCAPE || msg->wParam == VK_RETURN)) return TRUE;
  return CDialog::PreTranslateMessage(msg);
}

void CTempiolaDlg::OnSysCommand(UINT id, LPARAM lParam) {
  if ((id & 0xFFF0) == IDM_ABOUTBOX) {
    CAboutDlg about;
    about.DoModal();
  } else {
    CDialog::OnSysCommand(id, lParam);
  }
}

void CTempiolaDlg::OnPaint() {
  if (IsIconic()) {
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, dc.GetSafeHdc(), 0);
    const int cxIcon = GetSystemMetrics(SM_CXICON);
    const int cyIcon = GetSystemMetrics(SM_CYICON);
    CRect rect;
    GetClientRect(&rect);
    const int x = static_cast<int>(rect.Width() - cxIcon + 1) / 2;
    const int y = static_cast<int>(rect.Height() - cyIcon + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
  } else {
    CDialog::OnPaint();
  }
}

HCURSOR CTempiolaDlg::OnQueryDragIcon() { return m_hIcon; }

void CTempiolaDlg::OnHelpButton() {
  CHelpDlg help;
  help.DoModal();
}

void CTempiolaDlg::OnDestroy() {
  CDialog::OnDestroy();
  StopTransmitter();
}

BOOL CTempiolaDlg::OnToolTipNeedText(UINT, NMHDR* header, LRESULT*) {
  auto* ttt = reinterpret_cast<TOOLTIPTEXTA*>(header);
  UINT_PTR id = header->idFrom;
  if (ttt->uFlags & TTF_IDISHWND) id = static_cast<UINT_PTR>(::GetDlgCtrlID(static_cast<HWND>(id)));
  if (id == 0) return FALSE;
  for (const ToolTip& tip : kToolTips) {
    if (static_cast<UINT_PTR>(tip.id) == id) {
      ttt->lpszText = const_cast<char*>(tip.text != nullptr ? static_cast<const char*>(*tip.text) : m_stationTip.GetString());
      break;
    }
  }
  return TRUE;
}

LRESULT CTempiolaDlg::OnActivateInstance(WPARAM, LPARAM) {
  const DWORD foregroundThread = ::GetWindowThreadProcessId(::GetForegroundWindow(), nullptr);
  const DWORD currentThread = ::GetCurrentThreadId();
  ::AttachThreadInput(currentThread, foregroundThread, TRUE);
  ShowWindow(SW_RESTORE);
  SetWindowPos(&wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetWindowPos(&wndNoTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetForegroundWindow();
  ::AttachThreadInput(currentThread, foregroundThread, FALSE);
  return 0;
}
