// Combo box, list box and list view by index, over the toolkit's widgets.
#include <wx/listctrl.h>

#include <algorithm>
#include <cstring>

#include "afx/gbk.h"
#include "ui/framework/wx/afx_impl.h"

namespace {

int CopyOut(const wxString& text, char* buffer) {
  const std::string gbk = afx::ToGbk(text);
  if (buffer) std::memcpy(buffer, gbk.c_str(), gbk.size() + 1);
  return static_cast<int>(gbk.size());
}

template <class Widget>
Widget* As(wxWindow* w) {
  return dynamic_cast<Widget*>(w);
}

bool InRange(int index, unsigned count) { return index >= 0 && static_cast<unsigned>(index) < count; }

}  // namespace

// ---- CButton --------------------------------------------------------------

int CButton::GetCheck() const {
  auto* c = As<wxCheckBox>(m_pWindow);
  return c && c->GetValue() ? BST_CHECKED : BST_UNCHECKED;
}

// ---- What the combo box and the list box share ---------------------------

namespace {

// Both widgets are the toolkit's controls with items; CB_ERR and LB_ERR
// are both -1.
using Items = wxControlWithItems;
constexpr int kNoItem = -1;
static_assert(kNoItem == CB_ERR && kNoItem == LB_ERR);

int InsertItem(Items* c, int index, const char* text) {
  if (c == nullptr) return kNoItem;
  if (index < 0) return c->Append(afx::ToWx(text));
  if (static_cast<unsigned>(index) > c->GetCount()) return kNoItem;
  return c->Insert(afx::ToWx(text), static_cast<unsigned>(index));
}

int DeleteItem(wxWindow* w, UINT index) {
  auto* c = As<Items>(w);
  if (c == nullptr || index >= c->GetCount()) return kNoItem;
  c->Delete(index);
  return static_cast<int>(c->GetCount());
}

void ClearItems(wxWindow* w) {
  if (auto* c = As<Items>(w)) c->Clear();
}

int CountItems(wxWindow* w) {
  auto* c = As<Items>(w);
  return c ? static_cast<int>(c->GetCount()) : kNoItem;
}

int SelectedItem(wxWindow* w) {
  auto* c = As<Items>(w);
  return c ? c->GetSelection() : kNoItem;
}

int SelectItem(wxWindow* w, int index) {
  auto* c = As<Items>(w);
  if (c == nullptr) return kNoItem;
  if (!InRange(index, c->GetCount())) {
    c->SetSelection(wxNOT_FOUND);
    return kNoItem;
  }
  c->SetSelection(index);
  return index;
}

int SetData(wxWindow* w, int index, DWORD_PTR data) {
  auto* c = As<Items>(w);
  if (c == nullptr || !InRange(index, c->GetCount())) return kNoItem;
  c->SetClientData(static_cast<unsigned>(index), reinterpret_cast<void*>(data));
  return 0;
}

DWORD_PTR Data(wxWindow* w, int index) {
  auto* c = As<Items>(w);
  if (c == nullptr || !InRange(index, c->GetCount())) return static_cast<DWORD_PTR>(kNoItem);
  if (!c->HasClientUntypedData()) return 0;
  return reinterpret_cast<DWORD_PTR>(c->GetClientData(static_cast<unsigned>(index)));
}

void Text(wxWindow* w, int index, CString& text) {
  auto* c = As<Items>(w);
  text = (c && InRange(index, c->GetCount())) ? afx::ToGbk(c->GetString(static_cast<unsigned>(index))).c_str() : "";
}

}  // namespace

// ---- CComboBox ------------------------------------------------------------

namespace {

// The toolkit's closed drop-down list has more chrome than the template's
// width allows for; a box too narrow for its longest item grows to the right.
int Fitted(wxChoice* c, int index) {
  if (index < 0) return index;  // nothing inserted
  c->InvalidateBestSize();
  int best = c->GetBestSize().x;
  if (wxWindow* parent = c->GetParent()) {
    // Never past the dialog's right margin.
    best = std::min(best, parent->GetClientSize().x - c->GetPosition().x - parent->ConvertDialogToPixels(wxSize(7, 0)).x);
  }
  if (best > c->GetSize().x) c->SetSize(best, -1);
  return index;
}

}  // namespace

int CComboBox::AddString(const char* text) { return InsertString(-1, text); }

int CComboBox::InsertString(int index, const char* text) {
  auto* c = As<wxChoice>(m_pWindow);
  return Fitted(c, InsertItem(c, index, text));
}

int CComboBox::DeleteString(UINT index) { return DeleteItem(m_pWindow, index); }
void CComboBox::ResetContent() { ClearItems(m_pWindow); }
int CComboBox::GetCount() const { return CountItems(m_pWindow); }
int CComboBox::GetCurSel() const { return SelectedItem(m_pWindow); }
int CComboBox::SetCurSel(int index) { return SelectItem(m_pWindow, index); }
int CComboBox::SetItemData(int index, DWORD_PTR data) { return SetData(m_pWindow, index, data); }
DWORD_PTR CComboBox::GetItemData(int index) const { return Data(m_pWindow, index); }
void CComboBox::GetLBText(int index, CString& text) const { Text(m_pWindow, index, text); }

int CComboBox::GetLBText(int index, char* buffer) const {
  auto* c = As<Items>(m_pWindow);
  if (c == nullptr || !InRange(index, c->GetCount())) return CB_ERR;
  return CopyOut(c->GetString(static_cast<unsigned>(index)), buffer);
}

// ---- CListBox -------------------------------------------------------------

int CListBox::InsertString(int index, const char* text) { return InsertItem(As<wxListBox>(m_pWindow), index, text); }
int CListBox::DeleteString(UINT index) { return DeleteItem(m_pWindow, index); }
void CListBox::ResetContent() { ClearItems(m_pWindow); }
int CListBox::GetCount() const { return CountItems(m_pWindow); }
int CListBox::GetCurSel() const { return SelectedItem(m_pWindow); }
int CListBox::SetCurSel(int index) { return SelectItem(m_pWindow, index); }
int CListBox::SetItemData(int index, DWORD_PTR data) { return SetData(m_pWindow, index, data); }
DWORD_PTR CListBox::GetItemData(int index) const { return Data(m_pWindow, index); }
void CListBox::GetText(int index, CString& text) const { Text(m_pWindow, index, text); }

int CListBox::SetTopIndex(int index) {
  auto* l = As<wxListBox>(m_pWindow);
  if (l == nullptr || !InRange(index, l->GetCount())) return LB_ERR;
  l->SetFirstItem(index);
  return 0;
}

int CListBox::GetTopIndex() const {
  auto* l = As<wxListBox>(m_pWindow);
  if (l == nullptr) return LB_ERR;
  const int top = l->GetTopItem();
  return top == wxNOT_FOUND ? 0 : top;
}

// ---- CListCtrl ------------------------------------------------------------

DWORD CListCtrl::SetExtendedStyle(DWORD style) {
  const DWORD previous = m_exStyle;
  m_exStyle = style;
  if (auto* l = As<wxListCtrl>(m_pWindow)) {
    // Whole rows are always selected in this list; grid lines are rules.
    l->SetSingleStyle(wxLC_HRULES | wxLC_VRULES, (style & LVS_EX_GRIDLINES) != 0);
  }
  return previous;
}

DWORD CListCtrl::GetExtendedStyle() const { return m_exStyle; }

int CListCtrl::InsertColumn(int column, const char* heading, int format, int width, int) {
  auto* l = As<wxListCtrl>(m_pWindow);
  if (l == nullptr) return -1;
  const wxListColumnFormat f = format == LVCFMT_LEFT ? wxLIST_FORMAT_LEFT : wxLIST_FORMAT_RIGHT;
  if (column > l->GetColumnCount()) column = l->GetColumnCount();
  return static_cast<int>(l->InsertColumn(column, afx::ToWx(heading), f, width));
}

int CListCtrl::InsertItem(int index, const char* text) {
  auto* l = As<wxListCtrl>(m_pWindow);
  if (l == nullptr || index < 0) return -1;
  if (index > l->GetItemCount()) index = l->GetItemCount();
  return static_cast<int>(l->InsertItem(index, afx::ToWx(text)));
}

BOOL CListCtrl::SetItemText(int item, int subItem, const char* text) {
  auto* l = As<wxListCtrl>(m_pWindow);
  if (l == nullptr || item < 0 || item >= l->GetItemCount() || subItem < 0 || subItem >= l->GetColumnCount()) {
    return FALSE;
  }
  return l->SetItem(item, subItem, afx::ToWx(text)) ? TRUE : FALSE;
}

int CListCtrl::GetItemText(int item, int subItem, char* buffer, int length) const {
  if (buffer == nullptr || length <= 0) return 0;
  const CString text = GetItemText(item, subItem);
  return static_cast<int>(GbkCopyCut(text.GetString(), buffer, static_cast<std::size_t>(length)));
}

CString CListCtrl::GetItemText(int item, int subItem) const {
  auto* l = As<wxListCtrl>(m_pWindow);
  if (l == nullptr || item < 0 || item >= l->GetItemCount() || subItem < 0 || subItem >= l->GetColumnCount()) {
    return CString();
  }
  return CString(afx::ToGbk(l->GetItemText(item, subItem)).c_str());
}

BOOL CListCtrl::DeleteItem(int item) {
  auto* l = As<wxListCtrl>(m_pWindow);
  if (l == nullptr || item < 0 || item >= l->GetItemCount()) return FALSE;
  return l->DeleteItem(item) ? TRUE : FALSE;
}

BOOL CListCtrl::DeleteAllItems() {
  auto* l = As<wxListCtrl>(m_pWindow);
  return l && l->DeleteAllItems() ? TRUE : FALSE;
}

int CListCtrl::GetItemCount() const {
  auto* l = As<wxListCtrl>(m_pWindow);
  return l ? l->GetItemCount() : 0;
}

POSITION CListCtrl::GetFirstSelectedItemPosition() const {
  auto* l = As<wxListCtrl>(m_pWindow);
  if (l == nullptr) return nullptr;
  const long first = l->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
  return first < 0 ? nullptr : reinterpret_cast<POSITION>(static_cast<std::uintptr_t>(first) + 1);
}

int CListCtrl::GetNextSelectedItem(POSITION& position) const {
  auto* l = As<wxListCtrl>(m_pWindow);
  if (l == nullptr || position == nullptr) return -1;
  const long index = static_cast<long>(reinterpret_cast<std::uintptr_t>(position) - 1);
  const long next = l->GetNextItem(index, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
  position = next < 0 ? nullptr : reinterpret_cast<POSITION>(static_cast<std::uintptr_t>(next) + 1);
  return static_cast<int>(index);
}

BOOL CListCtrl::SetItemState(int item, UINT state, UINT mask) {
  auto* l = As<wxListCtrl>(m_pWindow);
  if (l == nullptr || item < 0 || item >= l->GetItemCount()) return FALSE;
  long wxState = 0, wxMask = 0;
  if (mask & LVIS_SELECTED) {
    wxMask |= wxLIST_STATE_SELECTED;
    if (state & LVIS_SELECTED) wxState |= wxLIST_STATE_SELECTED;
  }
  if (mask & LVIS_FOCUSED) {
    wxMask |= wxLIST_STATE_FOCUSED;
    if (state & LVIS_FOCUSED) wxState |= wxLIST_STATE_FOCUSED;
  }
  return l->SetItemState(item, wxState, wxMask) ? TRUE : FALSE;
}

bool afx::IsPushButton(const CWnd& control) { return dynamic_cast<wxButton*>(control.GetNativeWindow()) != nullptr; }
