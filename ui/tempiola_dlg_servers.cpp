// The server list's side of the main dialog: filling the combo box at
// start-up and the server list editor.
//
// NOT YET BUILT: the server list (Server.dat, the built-in list) and its
// editor come with their own work. Until then the combo box starts empty and
// the editor button does nothing.
#include "ui/tempiola_dlg.h"

void CTempiolaDlg::FillServerList() {}

void CTempiolaDlg::OnModifyServers() {}
