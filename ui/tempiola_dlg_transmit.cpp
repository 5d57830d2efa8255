// The transmitter's side of the main dialog: start and stop commands, its
// status reports, the test signal, and the thread's life with the dialog.
//
// NOT YET BUILT: the transmitter thread and its commands come with their own
// work. Until then the start and stop buttons do nothing, no status arrives
// and no thread is started.
#include "ui/tempiola_dlg.h"

void CTempiolaDlg::PlayTestSignal() {}

void CTempiolaDlg::OnStartTransmit() {}

void CTempiolaDlg::OnStopTransmit() {}

LRESULT CTempiolaDlg::OnTransmitterStatus(WPARAM, LPARAM) { return 0; }

void CTempiolaDlg::StartTransmitter() {}

void CTempiolaDlg::StopTransmitter() {}
