// The server list's side of the main dialog: filling the combo box at
// start-up and running the server list editor.
#include "res/resource.h"
#include "servers/server_file.h"
#include "servers/server_list.h"
#include "ui/app_globals.h"
#include "ui/modify_server_list_dlg.h"
#include "ui/tempiola_dlg.h"

void CTempiolaDlg::FillServerList() {
  // The path is fixed here, once; the editor saves to it and the combo box
  // is refilled from it.
  m_serverList = LocateServerList(g_exeDir);
  LoadServerList(m_cbServer, m_serverList);
}

void CTempiolaDlg::OnModifyServers() {
  CModifyServerListDlg editor;
  editor.m_pServerCombo = &m_cbServer;
  editor.m_serverList = m_serverList;
  if (editor.DoModal() == IDOK) ReloadServerList(m_cbServer, m_serverList.path);
}
