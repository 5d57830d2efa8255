// Message boxes: the text and an OK (and Cancel) button, modal over the
// program's active window.
#include <cstring>

#include "res/strings.h"
#include "ui/framework/wx/afx_impl.h"

namespace {

class AfxMessageBoxWindow : public wxDialog {
 public:
  AfxMessageBoxWindow(wxWindow* parent, const char* text, UINT type)
      : wxDialog(parent, wxID_ANY, afx::ToWx(AfxGetAppName()), wxDefaultPosition, wxDefaultSize,
                 wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX),
        hasCancel_((type & 0xF) == MB_OKCANCEL) {
    SetFont(afx::DefaultFont());
    wxString shown = afx::ToWx(text);
    shown.Replace("\r\n", "\n");
    auto* label = new wxStaticText(this, wxID_ANY, wxString());
    label->SetLabelText(shown);
    label->Wrap(FromDIP(480));
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    auto* ok = new wxButton(this, IDOK, afx::ToWx(res::kOk));
    ok->SetDefault();
    buttons->Add(ok, 0, wxALL, FromDIP(4));
    if (hasCancel_) buttons->Add(new wxButton(this, IDCANCEL, afx::ToWx(res::kCancel)), 0, wxALL, FromDIP(4));
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(label, 0, wxALL, FromDIP(16));
    column->Add(buttons, 0, wxALIGN_CENTER | wxBOTTOM, FromDIP(8));
    SetSizerAndFit(column);
    ok->SetFocus();
    Bind(wxEVT_BUTTON, [this](wxCommandEvent& e) { EndModal(e.GetId()); });
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { EndModal(CancelResult()); });
    Bind(wxEVT_CHAR_HOOK, &AfxMessageBoxWindow::OnCharHook, this);
  }

  // A box without Cancel answers Escape and its close box with OK.
  int CancelResult() const { return hasCancel_ ? IDCANCEL : IDOK; }
  bool HasButton(int id) const { return id == IDOK || (id == IDCANCEL && hasCancel_); }

 private:
  void OnCharHook(wxKeyEvent& e) {
    if (e.GetKeyCode() == WXK_ESCAPE) {
      EndModal(CancelResult());
    } else if (e.GetKeyCode() == WXK_RETURN || e.GetKeyCode() == WXK_NUMPAD_ENTER) {
      wxWindow* focus = FindFocus();
      EndModal(focus && focus->GetParent() == this && dynamic_cast<wxButton*>(focus) ? focus->GetId() : IDOK);
    } else {
      e.Skip();
    }
  }

  bool hasCancel_;
};

}  // namespace

int AfxMessageBox(const char* text, UINT type, UINT) {
  if (wxTheApp == nullptr) return IDCANCEL;
  wxWindow* parent = afx::ActiveWindow();
  AfxMessageBoxWindow box(parent, text ? text : "", type);
  if (parent) {
    box.CentreOnParent();
  } else {
    box.CentreOnScreen();
  }
  AfxModalFrame frame;
  frame.kind = AfxModalFrame::Kind::MessageBox;
  frame.window = &box;
  frame.text = text ? text : "";
  frame.type = type & 0xF;
  afx::PushModal(&frame);
  afx::NotifyModalStarted(&frame);
  const int result = box.ShowModal();
  afx::PopModal(&frame);
  return result == IDCANCEL ? IDCANCEL : IDOK;
}

BOOL AfxEndMessageBox(AfxModalFrame& frame, int id) {
  auto* box = dynamic_cast<AfxMessageBoxWindow*>(frame.window);
  if (frame.kind != AfxModalFrame::Kind::MessageBox || box == nullptr || !box->HasButton(id)) return FALSE;
  wxCommandEvent click(wxEVT_BUTTON, id);
  click.SetEventObject(box->FindWindow(id));
  box->GetEventHandler()->ProcessEvent(click);
  return TRUE;
}

