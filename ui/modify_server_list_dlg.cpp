#include "ui/modify_server_list_dlg.h"

#include <cstdio>
#include <string>
#include <vector>

#include "platform/file_lock.h"
#include "platform/settings_folder.h"
#include "res/resource.h"
#include "res/strings.h"
#include "servers/default_servers.h"
#include "servers/server_entry.h"
#include "servers/server_file.h"
#include "ui/add_server_dlg.h"
#include "ui/app_globals.h"
#include "ui/framework/message_box.h"

namespace {

// Cells are fetched into 63-byte buffers: 62 bytes and the terminator.
constexpr int kCellBuffer = static_cast<int>(kServerFieldMaxBytes) + 1;
// InsertItem past the last row appends.
constexpr int kAppendRow = 65535;

constexpr int kNumberColumn = 0;
constexpr int kAddressColumn = 1;
constexpr int kRemarkColumn = 2;

void SetRowNumber(CListCtrl& list, int row) {
  char number[16];
  std::snprintf(number, sizeof number, "%d", row + 1);
  list.SetItemText(row, kNumberColumn, number);
}

int FirstSelectedRow(const CListCtrl& list) {
  POSITION position = list.GetFirstSelectedItemPosition();
  return position ? list.GetNextSelectedItem(position) : -1;
}

}  // namespace

CModifyServerListDlg::CModifyServerListDlg(CWnd* parent)
    : CDialog(IDD_MODIFY_SERVER_LIST, parent), m_serverList(LocateServerList(g_exeDir)) {}

CModifyServerListDlg::~CModifyServerListDlg() = default;

void CModifyServerListDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_SERVER_TABLE, m_listServers);
}

BEGIN_MESSAGE_MAP(CModifyServerListDlg, CDialog)
  ON_BN_CLICKED(IDC_ADD_SERVER, &CModifyServerListDlg::OnAddServer)
  ON_BN_CLICKED(IDC_DELETE_SERVER, &CModifyServerListDlg::OnDeleteServer)
  ON_BN_CLICKED(IDC_MODIFY_SERVER, &CModifyServerListDlg::OnModifyServer)
  ON_BN_CLICKED(IDC_RESTORE_DEFAULTS, &CModifyServerListDlg::OnRestoreDefaults)
  ON_NOTIFY(NM_DBLCLK, IDC_SERVER_TABLE, &CModifyServerListDlg::OnDblclkServerList)
  ON_UPDATE_COMMAND_UI(IDC_DELETE_SERVER, &CModifyServerListDlg::OnUpdateNeedSelection)
  ON_UPDATE_COMMAND_UI(IDC_MODIFY_SERVER, &CModifyServerListDlg::OnUpdateNeedSelection)
END_MESSAGE_MAP()

BOOL CModifyServerListDlg::PreTranslateMessage(MSG* msg) {
  // "修改" and "删除" follow the selection with every input.
  UpdateDialogControls(this, FALSE);
  return CDialog::PreTranslateMessage(msg);
}

BOOL CModifyServerListDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_listServers.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
  m_listServers.InsertColumn(kNumberColumn, res::kServerColumnNumber, LVCFMT_LEFT, 45);
  m_listServers.InsertColumn(kAddressColumn, res::kServerColumnAddress, LVCFMT_LEFT, 180);
  m_listServers.InsertColumn(kRemarkColumn, res::kServerColumnRemark, LVCFMT_LEFT, 120);
  if (m_pServerCombo) {
    for (int i = 0; i < m_pServerCombo->GetCount(); ++i) {
      CString entry;
      m_pServerCombo->GetLBText(i, entry);
      AppendEntryText(entry);
    }
  }
  // The buttons start as the first input would leave them.
  UpdateDialogControls(this, FALSE);
  return TRUE;
}

void CModifyServerListDlg::AppendRow(const char* address, const char* remark) {
  const int row = m_listServers.InsertItem(kAppendRow, "");
  if (row < 0) return;
  SetRowNumber(m_listServers, row);
  m_listServers.SetItemText(row, kAddressColumn, address);
  m_listServers.SetItemText(row, kRemarkColumn, remark);
}

void CModifyServerListDlg::AppendEntryText(const char* entryText) {
  char text[kServerEntryTextSize];
  std::snprintf(text, sizeof text, "%s", entryText);
  char* address = nullptr;
  char* remark = nullptr;
  ParseServerEntry(text, address, remark);
  AppendRow(address, remark);
}

void CModifyServerListDlg::OnAddServer() {
  CAddServerDlg add;
  if (add.DoModal() != IDOK) return;
  AppendRow(add.m_szAddress, add.m_szRemark);
}

void CModifyServerListDlg::ModifySelectedRow() {
  const int row = FirstSelectedRow(m_listServers);
  if (row < 0) return;
  CAddServerDlg modify;
  modify.m_bAddMode = 0;
  m_listServers.GetItemText(row, kAddressColumn, modify.m_szAddress, kCellBuffer);
  m_listServers.GetItemText(row, kRemarkColumn, modify.m_szRemark, kCellBuffer);
  if (modify.DoModal() != IDOK) return;
  m_listServers.SetItemText(row, kAddressColumn, modify.m_szAddress);
  m_listServers.SetItemText(row, kRemarkColumn, modify.m_szRemark);
}

void CModifyServerListDlg::OnModifyServer() { ModifySelectedRow(); }

void CModifyServerListDlg::OnDblclkServerList(NMHDR*, LRESULT* result) {
  ModifySelectedRow();  // nothing without a selected row
  *result = 0;
}

void CModifyServerListDlg::OnDeleteServer() {
  if (AfxMessageBox(res::kConfirmDeleteServer, MB_OKCANCEL) != IDOK) return;
  const int row = FirstSelectedRow(m_listServers);
  if (row < 0 || !m_listServers.DeleteItem(row)) return;
  for (int i = row; i < m_listServers.GetItemCount(); ++i) SetRowNumber(m_listServers, i);
  UpdateDialogControls(this, FALSE);  // the selection went with the row
}

void CModifyServerListDlg::OnRestoreDefaults() {
  if (AfxMessageBox(res::kConfirmRestoreDefaults, MB_OKCANCEL) != IDOK) return;
  m_listServers.DeleteAllItems();
  for (const char* entry : DefaultServerTable) AppendEntryText(entry);
  UpdateDialogControls(this, FALSE);
}

void CModifyServerListDlg::OnUpdateNeedSelection(CCmdUI* cmdUI) {
  cmdUI->Enable(m_listServers.GetFirstSelectedItemPosition() != nullptr);
}

void CModifyServerListDlg::OnOK() {
  std::vector<ServerRow> rows;
  const int count = m_listServers.GetItemCount();
  rows.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    char address[kCellBuffer];
    char remark[kCellBuffer];
    m_listServers.GetItemText(i, kAddressColumn, address, kCellBuffer);
    m_listServers.GetItemText(i, kRemarkColumn, remark, kCellBuffer);
    rows.push_back({address, remark});
  }
  // A list that could not be written keeps the editor open, so the edits
  // are not lost; the file that was there stays as it was. The lock keeps
  // the save from landing inside another program's change of the list.
  const bool folderMade = MakeServerListFolder(m_serverList, nullptr);
  platform::FileUpdateLock lock(m_serverList.path);
  if (!folderMade || !lock.Locked() || !SaveServerFile(m_serverList.path, rows)) {
    ReportFailedSave();
    return;
  }
  CDialog::OnOK();
}

void CModifyServerListDlg::ReportFailedSave() {
  // Where the list is, since that depends on the user and the folder the
  // program is in.
  std::string text(res::kSaveServerListFailed);
  if (!m_serverList.path.empty()) {
    text += "\r\n";
    text += res::kServerListFileIs;
    text += platform::PathForMessage(m_serverList.path);
  }
  if (m_serverList.noHome) {
    text += "\r\n";
    text += res::kServerListWithoutHome;
  }
  AfxMessageBox(text.c_str(), MB_OK);
}
