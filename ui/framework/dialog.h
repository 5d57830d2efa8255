// Dialogs of the dialog layer, built from the templates in res/ and run
// modally; their controls by identifier, tool tips and the system menu.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "ui/framework/cmd_ui.h"
#include "ui/framework/menu.h"
#include "ui/framework/wnd.h"

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

  // The dialog's controls by identifier.
  CWnd* GetDlgItem(int id) const;
  void SetDlgItemText(int id, const char* text);
  UINT GetDlgItemText(int id, char* buffer, int maxCount) const;

  // The system menu (nullptr when the template has none); items appended
  // here follow minimise and close.
  CMenu* GetSystemMenu(BOOL revert);
  HICON SetIcon(HICON icon, BOOL bigIcon);
  HICON GetIcon(BOOL bigIcon) const;

  // Tool tips for the controls: the dialog's TTN_NEEDTEXTA row is asked for
  // a control's text when the pointer rests on it.
  BOOL EnableToolTips(BOOL enable = TRUE);
  // Runs the CN_UPDATE_COMMAND_UI rows of target for the controls. Without a
  // row a control is left alone, unless disableIfNoHandler is set and no row
  // handles its command either.
  void UpdateDialogControls(CCmdTarget* target, BOOL disableIfNoHandler);

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

  friend struct AfxDialogAccess;
  friend void DDX_Control(CDataExchange* dx, int id, CWnd& control);
};
