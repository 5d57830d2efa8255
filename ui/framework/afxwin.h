// The dialog layer: application object, windows, dialogs built from the
// templates in res/, controls addressed by identifier, message maps, message
// boxes, wait cursor, tool tips and the system menu. The back end (the
// window toolkit, or the system's own windows) is chosen by the build; its
// afx_native.h names the object behind a window. All text that crosses this
// interface is GBK; conversion to Unicode happens inside the layer only.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "afx_native.h"
#include "ui/framework/afx_msg.h"
#include "afx/cstring.h"
#include "afx/exception.h"

class CDialog;

class CCmdTarget : public CObject {
 public:
  ~CCmdTarget() override = default;

  // Routes a command (BN_CLICKED or CN_UPDATE_COMMAND_UI) through the map;
  // TRUE when a row took it.
  virtual BOOL OnCmdMsg(UINT id, UINT code, CCmdUI* cmdUI);

  // The busy cursor, shown over every window of the program until the
  // matching EndWaitCursor.
  void BeginWaitCursor();
  void EndWaitCursor();

 protected:
  static const AFX_MSGMAP* GetThisMessageMap();
  virtual const AFX_MSGMAP* GetMessageMap() const;
  // The first row of this object's maps (most derived first) that matches.
  const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT message, UINT code, UINT id) const;
  const AFX_MSGMAP_ENTRY* FindMessageEntryAfter(const AFX_MSGMAP_ENTRY* after, UINT message, UINT code, UINT id) const;
  friend class CWnd;
  friend struct AfxDialogAccess;
};

class CMenu {
 public:
  struct Item {
    UINT flags;
    UINT id;
    std::string text;  // GBK
  };
  BOOL AppendMenu(UINT flags, UINT_PTR id = 0, const char* text = nullptr);
  const std::vector<Item>& Items() const { return items_; }
  void RemoveAll() { items_.clear(); }

 private:
  std::vector<Item> items_;
};

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
  HWND GetSafeHwnd() const { return m_hWnd; }
  static CWnd* FromHandle(HWND window);  // nullptr for a handle of no window here

  // Window text, GBK. GetWindowText copies at most maxCount - 1 bytes
  // (never half a character) and returns the number copied.
  void SetWindowText(const char* text);
  int GetWindowText(char* buffer, int maxCount) const;
  int GetWindowTextLength() const;
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

  // Controls of this dialog by identifier.
  CWnd* GetDlgItem(int id) const;
  void SetDlgItemText(int id, const char* text);
  UINT GetDlgItemText(int id, char* buffer, int maxCount) const;
  void GotoDlgCtrl(CWnd* control);

  // The window's system menu (nullptr when its template has none); items
  // appended here follow minimise and close.
  CMenu* GetSystemMenu(BOOL revert);
  HICON SetIcon(HICON icon, BOOL bigIcon);
  HICON GetIcon(BOOL bigIcon) const;

  // Topmost / not topmost and raising, for bringing a window forward.
  static const CWnd wndTopMost;
  static const CWnd wndNoTopMost;
  BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
  BOOL SetForegroundWindow();

  // Tool tips for the child controls: the dialog's TTN_NEEDTEXTA row is asked
  // for a control's text when the pointer rests on it.
  BOOL EnableToolTips(BOOL enable = TRUE);
  // Runs the CN_UPDATE_COMMAND_UI rows of target for its controls. Without a
  // row a control is left alone, unless disableIfNoHandler is set and no row
  // handles its command either.
  void UpdateDialogControls(CCmdTarget* target, BOOL disableIfNoHandler);

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

class CDialog : public CWnd {
 public:
  explicit CDialog(UINT templateId, CWnd* parent = nullptr);
  ~CDialog() override;

  // Builds the dialog from its template, runs it until EndDialog and returns
  // the result (IDOK or IDCANCEL); -1 when the template does not exist.
  virtual INT_PTR DoModal();
  void EndDialog(int result);

  // Creates nothing itself: the layer has created the controls from the
  // template before; binds them with DoDataExchange. TRUE: focus on the
  // first tab stop.
  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  virtual void DoDataExchange(CDataExchange* dx);
  BOOL UpdateData(BOOL saveAndValidate = TRUE);

  UINT GetTemplateId() const { return m_nIDTemplate; }
  const DlgTemplate* GetTemplate() const { return m_pTemplate; }
  BOOL IsModalRunning() const { return m_bInModal ? TRUE : FALSE; }

 protected:
  static const AFX_MSGMAP* GetThisMessageMap();
  const AFX_MSGMAP* GetMessageMap() const override;
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void CreateControls();
  void DestroyDialogWindow();
  // Lets go of the control wrappers of a window that is being destroyed.
  void ReleaseControls();
  void ResetSystemMenu();
  void ApplyIcons();
  CWnd* ControlById(int id) const;
  // Close as Cancel, the minimised icon's background, else CWnd's default.
  LRESULT CloseOrDefault(UINT message, WPARAM wParam, LPARAM lParam);
  void AskToolTip(int id, std::string& utf8) const;

  UINT m_nIDTemplate;
  CWnd* m_pParentWnd;
  const DlgTemplate* m_pTemplate = nullptr;
  int m_nModalResult = -1;
  bool m_bInModal = false;
  bool m_bEnded = false;
  bool m_bToolTips = false;
  bool m_bHasSysMenu = false;
  CMenu m_sysMenu;
  HICON m_hIconBig = nullptr;
  HICON m_hIconSmall = nullptr;
  std::vector<std::unique_ptr<CWnd>> m_ownedControls;
  std::map<int, CWnd*> m_controls;  // by identifier; DDX-bound members replace the layer's wrappers

  std::vector<AfxNativeWindow*> m_itemWidgets;  // template order
  AfxNativeWindow* m_hToolTips = nullptr;       // the back end's tool-tip window, where it has one
  bool m_bDefault = false;                      // the system's own handling was asked for

  friend class CWnd;
  friend struct AfxDialogAccess;
  friend void DDX_Control(CDataExchange* dx, int id, CWnd& control);
};

// A push button, or a check box (BS_AUTOCHECKBOX).
class CButton : public CWnd {
 public:
  int GetCheck() const;  // BST_CHECKED or BST_UNCHECKED
  void SetCheck(int check);
};
class CEdit : public CWnd {};
class CStatic : public CWnd {};

// Drop-down list. Indices are 0-based; CB_ERR (-1) for none.
class CComboBox : public CWnd {
 public:
  int AddString(const char* text);
  int InsertString(int index, const char* text);
  int DeleteString(UINT index);
  void ResetContent();
  int GetCount() const;
  int GetCurSel() const;
  int SetCurSel(int index);
  int SetItemData(int index, DWORD_PTR data);
  DWORD_PTR GetItemData(int index) const;
  int GetLBText(int index, char* buffer) const;  // buffer must hold GetLBTextLen + 1 bytes
  int GetLBTextLen(int index) const;
  void GetLBText(int index, CString& text) const;
};

// List box. Lines stay in insertion order (InsertString with -1 appends).
class CListBox : public CWnd {
 public:
  int InsertString(int index, const char* text);
  int DeleteString(UINT index);
  void ResetContent();
  int GetCount() const;
  int SetItemData(int index, DWORD_PTR data);
  DWORD_PTR GetItemData(int index) const;
  int SetTopIndex(int index);
  int GetTopIndex() const;
  int GetText(int index, char* buffer) const;  // buffer must hold GetTextLen + 1 bytes
  int GetTextLen(int index) const;
  void GetText(int index, CString& text) const;
  int GetCurSel() const;
  int SetCurSel(int index);
};

// Report-view list. Rows and columns are 0-based.
class CListCtrl : public CWnd {
 public:
  DWORD SetExtendedStyle(DWORD style);
  DWORD GetExtendedStyle() const;
  int InsertColumn(int column, const char* heading, int format = LVCFMT_LEFT, int width = -1, int subItem = -1);
  int InsertItem(int index, const char* text);  // an index past the end appends
  BOOL SetItemText(int item, int subItem, const char* text);
  int GetItemText(int item, int subItem, char* buffer, int length) const;  // cut to length - 1 bytes
  CString GetItemText(int item, int subItem) const;
  BOOL DeleteItem(int item);
  BOOL DeleteAllItems();
  int GetItemCount() const;
  UINT GetSelectedCount() const;
  POSITION GetFirstSelectedItemPosition() const;
  int GetNextSelectedItem(POSITION& position) const;
  BOOL SetItemState(int item, UINT state, UINT mask);
  UINT GetItemState(int item, UINT mask) const;

 private:
  DWORD m_exStyle = 0;
};

// A paint context for OnPaint.
class CPaintDC {
 public:
  explicit CPaintDC(CWnd* window);
  ~CPaintDC();
  CPaintDC(const CPaintDC&) = delete;
  CPaintDC& operator=(const CPaintDC&) = delete;
  void DrawIcon(int x, int y, HICON icon);
  void EraseBackground();
  UINT_PTR GetSafeHdc() const { return reinterpret_cast<UINT_PTR>(this); }

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

int GetSystemMetrics(int index);

class CWinApp : public CCmdTarget {
 public:
  explicit CWinApp(const char* appName = nullptr);
  ~CWinApp() override;

  virtual BOOL InitApplication();
  virtual BOOL InitInstance();
  virtual int ExitInstance();

  HICON LoadIcon(UINT id) const;

  CWnd* m_pMainWnd = nullptr;
  const char* m_pszAppName = nullptr;  // GBK; from the executable's name unless given

 protected:
  static const AFX_MSGMAP* GetThisMessageMap();
  const AFX_MSGMAP* GetMessageMap() const override;
  afx_msg void OnHelp();

 private:
  std::string m_appName;
  friend int AfxWinMain(int argc, char** argv);
  friend const char* AfxGetAppName();
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
const char* AfxGetAppName();

// Starts the window toolkit, then InitApplication and InitInstance of the
// one CWinApp object; FALSE from either ends the program without a message
// loop. Returns the process's exit status.
int AfxWinMain(int argc, char** argv);

// OK (MB_OK) or OK and Cancel (MB_OKCANCEL), modal over the program's
// active window; returns IDOK or IDCANCEL.
int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpId = 0);

void AfxEnableControlContainer();
BOOL AfxSocketInit();

// Reports an exception that escaped a handler in a message box.
void AfxReportException(CException* e);
