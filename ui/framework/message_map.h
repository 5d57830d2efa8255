// The message-map machinery of the dialog layer. A class lists its rows
// between BEGIN_MESSAGE_MAP and END_MESSAGE_MAP; dispatch walks the rows
// from the most derived class to its bases and the first matching row wins.
#pragma once

#include <bit>

#include "ui/framework/window_types.h"

class CCmdTarget;
class CCmdUI;
class CWnd;

// Handler shapes. Rows of AfxSig_vv and AfxSig_cmdui hold a member of
// CCmdTarget, the others a member of CWnd. A row stores its handler in the generic shape and the
// dispatcher turns it back into the one its signature names.
using AFX_PMSG = void (CCmdTarget::*)();

enum AfxSig : int {
  AfxSig_end = 0,
  AfxSig_vv,        // void ()                       commands, WM_PAINT, WM_DESTROY
  AfxSig_vwl,       // void (UINT, LPARAM)           WM_SYSCOMMAND
  AfxSig_hv,        // HCURSOR ()                    WM_QUERYDRAGICON
  AfxSig_lwl,       // LRESULT (WPARAM, LPARAM)      private messages
  AfxSig_vNMHDRpl,  // void (NMHDR*, LRESULT*)       notifications
  AfxSig_bwNMHDRpl, // BOOL (UINT, NMHDR*, LRESULT*) notifications that may decline
  AfxSig_cmdui,     // void (CCmdUI*)                command-state update
};

struct AFX_MSGMAP_ENTRY {
  UINT nMessage;
  UINT nCode;
  UINT nID;
  UINT nLastID;
  AfxSig nSig;
  AFX_PMSG pfn;
};

struct AFX_MSGMAP {
  const AFX_MSGMAP* (*pfnGetBaseMap)();
  const AFX_MSGMAP_ENTRY* lpEntries;
};

template <class Pmf>
AFX_PMSG AfxToPmsg(Pmf pmf) {
  return std::bit_cast<AFX_PMSG>(pmf);
}

// Back from the generic shape to the one the row was stored with.
template <class Pmf>
Pmf AfxFromPmsg(AFX_PMSG pmsg) {
  return std::bit_cast<Pmf>(pmsg);
}

#define afx_msg

#define DECLARE_MESSAGE_MAP()                   \
 protected:                                     \
  static const AFX_MSGMAP* GetThisMessageMap(); \
  const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                              \
  const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }         \
  const AFX_MSGMAP* theClass::GetThisMessageMap() {                                         \
    using ThisClass [[maybe_unused]] = theClass;                                            \
    using TheBaseClass = baseClass;                                                         \
    static const AFX_MSGMAP_ENTRY messageEntries[] = {
#define END_MESSAGE_MAP()                                                     \
  {0, 0, 0, 0, AfxSig_end, nullptr}                                           \
  }                                                                           \
  ;                                                                           \
  static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &messageEntries[0]}; \
  return &messageMap;                                                         \
  }

// The handler's signature is checked here: a handler of the wrong shape
// does not compile.
#define AFX_ROW(msg, code, id, lastId, sig, type, fn) \
  {msg, code, static_cast<UINT>(id), static_cast<UINT>(lastId), sig, AfxToPmsg(static_cast<type>(fn))},

#define ON_WM_SYSCOMMAND() \
  AFX_ROW(WM_SYSCOMMAND, 0, 0, 0, AfxSig_vwl, void (CWnd::*)(UINT, LPARAM), &ThisClass::OnSysCommand)
#define ON_WM_PAINT() AFX_ROW(WM_PAINT, 0, 0, 0, AfxSig_vv, void (CCmdTarget::*)(), &ThisClass::OnPaint)
#define ON_WM_QUERYDRAGICON() \
  AFX_ROW(WM_QUERYDRAGICON, 0, 0, 0, AfxSig_hv, HCURSOR (CWnd::*)(), &ThisClass::OnQueryDragIcon)
#define ON_WM_DESTROY() AFX_ROW(WM_DESTROY, 0, 0, 0, AfxSig_vv, void (CCmdTarget::*)(), &ThisClass::OnDestroy)
#define ON_MESSAGE(message, fn) \
  AFX_ROW(message, 0, 0, 0, AfxSig_lwl, LRESULT (CWnd::*)(WPARAM, LPARAM), fn)
#define ON_COMMAND(id, fn) AFX_ROW(WM_COMMAND, BN_CLICKED, id, id, AfxSig_vv, void (CCmdTarget::*)(), fn)
#define ON_BN_CLICKED(id, fn) AFX_ROW(WM_COMMAND, BN_CLICKED, id, id, AfxSig_vv, void (CCmdTarget::*)(), fn)
#define ON_CBN_SELCHANGE(id, fn) AFX_ROW(WM_COMMAND, CBN_SELCHANGE, id, id, AfxSig_vv, void (CCmdTarget::*)(), fn)
#define ON_NOTIFY(code, id, fn) \
  AFX_ROW(WM_NOTIFY, code, id, id, AfxSig_vNMHDRpl, void (CWnd::*)(NMHDR*, LRESULT*), fn)
#define ON_NOTIFY_EX(code, id, fn) \
  AFX_ROW(WM_NOTIFY, code, id, id, AfxSig_bwNMHDRpl, BOOL (CWnd::*)(UINT, NMHDR*, LRESULT*), fn)
#define ON_UPDATE_COMMAND_UI(id, fn) \
  AFX_ROW(WM_COMMAND, CN_UPDATE_COMMAND_UI, id, id, AfxSig_cmdui, void (CCmdTarget::*)(CCmdUI*), fn)
