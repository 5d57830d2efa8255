// Message maps: lookup (most derived class first, first matching row wins)
// and command routing.
#include "ui/framework/cmd_target.h"

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, AfxSig_end, nullptr}};
  static const AFX_MSGMAP map = {nullptr, &entries[0]};
  return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

namespace {

bool Matches(const AFX_MSGMAP_ENTRY& e, UINT message, UINT code, UINT id) {
  if (e.nMessage != message) return false;
  if (message == WM_COMMAND || message == WM_NOTIFY) return e.nCode == code && id >= e.nID && id <= e.nLastID;
  return true;
}

}  // namespace

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntryAfter(const AFX_MSGMAP_ENTRY* after, UINT message, UINT code,
                                                          UINT id) const {
  bool seen = after == nullptr;
  for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr;
       map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->nSig != AfxSig_end; ++e) {
      if (!seen) {
        seen = e == after;
        continue;
      }
      if (Matches(*e, message, code, id)) return e;
    }
  }
  return nullptr;
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT message, UINT code, UINT id) const {
  return FindMessageEntryAfter(nullptr, message, code, id);
}

BOOL CCmdTarget::OnCmdMsg(UINT id, UINT code, CCmdUI* cmdUI) {
  const AFX_MSGMAP_ENTRY* e = FindMessageEntry(WM_COMMAND, code, id);
  if (e == nullptr) return FALSE;
  if (e->nSig == AfxSig_vv) {
    (this->*e->pfn)();
  } else if (e->nSig == AfxSig_cmdui) {
    if (cmdUI == nullptr) return FALSE;
    (this->*AfxFromPmsg<void (CCmdTarget::*)(CCmdUI*)>(e->pfn))(cmdUI);
  } else {
    return FALSE;
  }
  return TRUE;
}
