// The system menu's items as the dialog layer keeps them.
#include "ui/framework/menu.h"

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id, const char* text) {
  if ((flags & MF_SEPARATOR) == 0 && text == nullptr) return FALSE;
  items_.push_back(Item{flags, static_cast<UINT>(id), text ? text : ""});
  return TRUE;
}
