// Windows of the dialog layer: a dialog, or a control of one, addressed by
// its handle and identifier. The back end (the window toolkit, or the
// system's own windows) is chosen by the build; its afx_native.h names the
// object behind a window. All text that crosses this interface is GBK;
// conversion to Unicode happens inside the layer only.
#pragma once

#include <cstdint>
#include <string>

#include "afx/cstring.h"
#include "afx_native.h"
#include "ui/framework/cmd_target.h"

class CDialog;

class CDataExchange {
 public:
  CDataExchange(CDialog* dialog, BOOL saveAndValidate) : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
  CDialog* m_pDlgWnd;
  BOOL m_bSaveAndValidate;
};

class CWnd : public CCmdTarget {
 public:
  CWnd();
  ~CWnd() override;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND m_hWnd = 0;
  static CWnd* FromHandle(HWND window);  // nullptr for a handle of no window here

  // Window text, GBK. GetWindowText copies at most maxCount - 1 bytes
  // (never half a character) and returns the number copied.
  void SetWindowText(const char* text);
  int GetWindowText(char* buffer, int maxCount) const;
  void GetWindowText(CString& text) const;

  BOOL EnableWindow(BOOL enable = TRUE);  // returns TRUE when it was disabled before
  BOOL IsWindowEnabled() const;
  BOOL ShowWindow(int command);            // returns TRUE when it was visible before
  BOOL IsWindowVisible() const;
  CWnd* SetFocus();
  static CWnd* GetFocus();
  int GetDlgCtrlID() const { return m_nID; }
  BOOL IsIconic() const;
  void GetClientRect(RECT* rect) const;

  // Topmost / not topmost and raising, for bringing a window forward.
  static const CWnd wndTopMost;
  static const CWnd wndNoTopMost;
  BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
  BOOL SetForegroundWindow();

  // Dispatches at once through the message map (this window's thread only).
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

  // Sees each input and posted message before dispatch; TRUE consumes it.
  virtual BOOL PreTranslateMessage(MSG* msg);

  // Routes one message: the message map first, then the default handling.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

  // The back end's object and the template style (for the layer and its
  // test support).
  AfxNativeWindow* GetNativeWindow() const { return m_pWindow; }
  std::uint32_t GetStyle() const { return m_dwStyle; }
  CWnd* GetOwnerDialog() const { return m_pOwner; }

 protected:
  virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

  afx_msg void OnSysCommand(UINT id, LPARAM lParam);
  afx_msg void OnPaint();
  afx_msg HCURSOR OnQueryDragIcon();
  afx_msg void OnDestroy();

  // Attaches this object to a widget: with handle 0 a new handle is made
  // (and released by Detach), else the given one is shared (DDX_Control).
  void Attach(AfxNativeWindow* window, int id, CWnd* owner, std::uint32_t style, HWND handle = 0);
  void Detach();
  // The window's text in GBK, as GetWindowText gives it.
  std::string TextGbk() const;

  AfxNativeWindow* m_pWindow = nullptr;
  int m_nID = 0;
  CWnd* m_pOwner = nullptr;  // the dialog of a control
  std::uint32_t m_dwStyle = 0;
  bool m_bOwnsHandle = false;

  friend class CDialog;
  friend struct AfxDialogAccess;
  friend void DDX_Control(CDataExchange* dx, int id, CWnd& control);
};

void DDX_Control(CDataExchange* dx, int id, CWnd& control);

// Identifier of the control behind a handle (0 when there is none).
int GetDlgCtrlID(HWND window);
