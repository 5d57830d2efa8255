// The two NTP commands of the main dialog.
//
// NOT YET BUILT: the calibrate and query commands come with their own work
// (the NTP client is ready in ntp/; these handlers are where they run).
// Until then the buttons do nothing.
#include "ui/tempiola_dlg.h"

void CTempiolaDlg::OnCalibrateClock() {}

void CTempiolaDlg::OnQueryServerTime() {}
