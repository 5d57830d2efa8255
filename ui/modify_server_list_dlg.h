// The server list editor: the main window's server entries as a table of
// number, address and remark, with add, modify, delete and restore of the
// built-in list. OK writes the rows to Server.dat; Cancel drops every change.
// A failed save says where the list is and keeps the editor open.
#pragma once

#include "servers/server_file.h"
#include "ui/framework/controls.h"
#include "ui/framework/dialog.h"

class CModifyServerListDlg : public CDialog {
 public:
  explicit CModifyServerListDlg(CWnd* parent = nullptr);
  ~CModifyServerListDlg() override;

  CComboBox* m_pServerCombo = nullptr;  // the main window's entries, the first rows; not owned
  CListCtrl m_listServers;               // the working copy of the list
  ServerListFile m_serverList;           // where OK saves; the program's own list unless set

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  BOOL PreTranslateMessage(MSG* msg) override;
  BOOL OnInitDialog() override;
  void OnOK() override;

  afx_msg void OnAddServer();
  afx_msg void OnDeleteServer();
  afx_msg void OnModifyServer();
  afx_msg void OnRestoreDefaults();
  afx_msg void OnDblclkServerList(NMHDR* header, LRESULT* result);
  afx_msg void OnUpdateNeedSelection(CCmdUI* cmdUI);

  DECLARE_MESSAGE_MAP()

 private:
  // Appends a row numbered after the last one.
  void AppendRow(const char* address, const char* remark);
  // Appends the row of one entry text as the combo box shows it.
  void AppendEntryText(const char* entryText);
  // Runs the modify dialog for the first selected row.
  void ModifySelectedRow();
  // The box of a list that could not be saved.
  void ReportFailedSave();
};
