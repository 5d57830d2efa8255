// Dialogs of the dialog layer, built from the templates in res/ and run
// modally; their controls by identifier, tool tips and the system menu.
#pragma once

#include <map>
#include <memory>
#include <vector>

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
