#include "ui/framework/cmd_ui.h"

#include "ui/framework/wnd.h"

void CCmdUI::Enable(BOOL on) {
  if (m_pOther != nullptr) m_pOther->EnableWindow(on);
}
