// Window messages, notifications and the message-map machinery of the
// dialog layer. A class lists its rows between BEGIN_MESSAGE_MAP and
// END_MESSAGE_MAP; dispatch walks the rows from the most derived class to
// its bases and the first matching row wins.
#pragma once

#include <bit>
#include <cstdint>

#include "afx/afx_types.h"
#include "afx/dialog_template.h"

using DWORD = std::uint32_t;
using WORD = std::uint16_t;
using BYTE = std::uint8_t;
using UINT_PTR = std::uintptr_t;
using DWORD_PTR = std::uintptr_t;
using LPCSTR = const char*;
using LPSTR = char*;
using INT_PTR = std::intptr_t;

struct AfxIcon;  // a loaded icon (both sizes)
using HICON = AfxIcon*;
using HCURSOR = AfxIcon*;
using HINSTANCE = void*;

inline constexpr WORD LOWORD(std::uintptr_t v) { return static_cast<WORD>(v & 0xFFFF); }
inline constexpr WORD HIWORD(std::uintptr_t v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
inline constexpr WPARAM MAKEWPARAM(WORD low, WORD high) {
  return static_cast<WPARAM>(low) | (static_cast<WPARAM>(high) << 16);
}

// Window messages.
inline constexpr UINT WM_NULL = 0x0000;
inline constexpr UINT WM_DESTROY = 0x0002;
inline constexpr UINT WM_PAINT = 0x000F;
inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_QUERYDRAGICON = 0x0037;
inline constexpr UINT WM_ICONERASEBKGND = 0x0027;
inline constexpr UINT WM_SETICON = 0x0080;
inline constexpr UINT WM_NOTIFY = 0x004E;
inline constexpr UINT WM_KEYDOWN = 0x0100;
inline constexpr UINT WM_KEYUP = 0x0101;
inline constexpr UINT WM_SYSKEYDOWN = 0x0104;
inline constexpr UINT WM_INITDIALOG = 0x0110;
inline constexpr UINT WM_COMMAND = 0x0111;
inline constexpr UINT WM_SYSCOMMAND = 0x0112;
inline constexpr UINT WM_MOUSEMOVE = 0x0200;
inline constexpr UINT WM_LBUTTONDOWN = 0x0201;
inline constexpr UINT WM_LBUTTONUP = 0x0202;
inline constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
inline constexpr UINT WM_RBUTTONDOWN = 0x0204;
inline constexpr UINT WM_RBUTTONUP = 0x0205;

// System commands (the low four bits are the system's own).
inline constexpr UINT SC_MINIMIZE = 0xF020;
inline constexpr UINT SC_CLOSE = 0xF060;
inline constexpr UINT SC_RESTORE = 0xF120;

// Key codes.
inline constexpr UINT VK_RETURN = 0x0D;
inline constexpr UINT VK_ESCAPE = 0x1B;
inline constexpr UINT VK_SPACE = 0x20;
inline constexpr UINT VK_TAB = 0x09;
inline constexpr UINT VK_F1 = 0x70;

// Notification codes.
inline constexpr UINT BN_CLICKED = 0;
inline constexpr UINT NM_DBLCLK = static_cast<UINT>(-3);
inline constexpr UINT TTN_NEEDTEXTA = static_cast<UINT>(-520);
inline constexpr UINT CN_UPDATE_COMMAND_UI = static_cast<UINT>(-1);

// Icons of WM_SETICON.
inline constexpr WPARAM ICON_SMALL = 0;
inline constexpr WPARAM ICON_BIG = 1;

// ShowWindow.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_MINIMIZE = 6;
inline constexpr int SW_RESTORE = 9;

// SetWindowPos.
inline constexpr UINT SWP_NOSIZE = 0x0001;
inline constexpr UINT SWP_NOMOVE = 0x0002;

// Message boxes.
inline constexpr UINT MB_OK = 0x0;
inline constexpr UINT MB_OKCANCEL = 0x1;

// Menus.
inline constexpr UINT MF_STRING = 0x0;
inline constexpr UINT MF_GRAYED = 0x1;
inline constexpr UINT MF_SEPARATOR = 0x800;

// GetSystemMetrics.
inline constexpr int SM_CXICON = 11;
inline constexpr int SM_CYICON = 12;

// Tool tips.
inline constexpr UINT TTF_IDISHWND = 0x0001;

// List view.
inline constexpr int LVCFMT_LEFT = 0;
inline constexpr DWORD LVS_EX_GRIDLINES = 0x00000001;
inline constexpr DWORD LVS_EX_FULLROWSELECT = 0x00000020;
inline constexpr UINT LVIS_FOCUSED = 0x0001;
inline constexpr UINT LVIS_SELECTED = 0x0002;

// List box / combo box results.
inline constexpr int LB_ERR = -1;
inline constexpr int CB_ERR = -1;

// States of a check box.
inline constexpr int BST_UNCHECKED = 0;
inline constexpr int BST_CHECKED = 1;

// The standard help command.
inline constexpr UINT ID_HELP = 0xE146;

struct POINT {
  long x, y;
};

struct RECT {
  long left, top, right, bottom;
};

class CRect : public RECT {
 public:
  CRect() : RECT{0, 0, 0, 0} {}
  CRect(long l, long t, long r, long b) : RECT{l, t, r, b} {}
  long Width() const { return right - left; }
  long Height() const { return bottom - top; }
};

struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
};

struct NMHDR {
  HWND hwndFrom;
  UINT_PTR idFrom;
  UINT code;
};

struct TOOLTIPTEXTA {
  NMHDR hdr;
  LPSTR lpszText;
  char szText[80];
  HINSTANCE hinst;
  UINT uFlags;
  LPARAM lParam;
};

using POSITION = struct AfxPosition*;  // opaque iterator of selected rows

class CCmdTarget;
class CWnd;

// One command-state update: the handler enables or disables the control.
class CCmdUI {
 public:
  UINT m_nID = 0;
  CWnd* m_pOther = nullptr;  // the control
  BOOL m_bEnableChanged = FALSE;
  virtual ~CCmdUI() = default;
  virtual void Enable(BOOL on = TRUE);
  virtual void SetText(const char* text);
};

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
#define ON_NOTIFY(code, id, fn) \
  AFX_ROW(WM_NOTIFY, code, id, id, AfxSig_vNMHDRpl, void (CWnd::*)(NMHDR*, LRESULT*), fn)
#define ON_NOTIFY_EX(code, id, fn) \
  AFX_ROW(WM_NOTIFY, code, id, id, AfxSig_bwNMHDRpl, BOOL (CWnd::*)(UINT, NMHDR*, LRESULT*), fn)
#define ON_UPDATE_COMMAND_UI(id, fn) \
  AFX_ROW(WM_COMMAND, CN_UPDATE_COMMAND_UI, id, id, AfxSig_cmdui, void (CCmdTarget::*)(CCmdUI*), fn)
