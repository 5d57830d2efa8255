// Check box, combo box, list box and list view by index, over the system's
// controls.
#include <cstring>

#include "ui/framework/win32/afx_impl.h"

namespace {

int CopyOut(const std::wstring& text, char* buffer) {
  const std::string gbk = w32::Gbk(text);
  if (buffer) std::memcpy(buffer, gbk.c_str(), gbk.size() + 1);
  return static_cast<int>(gbk.size());
}

// Check box messages.
constexpr UINT kBmGetCheck = 0x00F0;
// Combo box and list box messages.
constexpr UINT kCbAddString = 0x0143, kCbDeleteString = 0x0144, kCbGetCount = 0x0146, kCbGetCurSel = 0x0147,
               kCbInsertString = 0x014A, kCbResetContent = 0x014B, kCbSetCurSel = 0x014E, kCbGetItemData = 0x0150,
               kCbSetItemData = 0x0151;
constexpr UINT kLbInsertString = 0x0181, kLbDeleteString = 0x0182, kLbResetContent = 0x0184, kLbSetCurSel = 0x0186,
               kLbGetCurSel = 0x0188, kLbGetCount = 0x018B, kLbGetTopIndex = 0x018E, kLbSetTopIndex = 0x0197,
               kLbGetItemData = 0x0199, kLbSetItemData = 0x019A;
// List-view messages.
constexpr UINT kLvmFirst = 0x1000;
constexpr UINT kLvmGetItemCount = kLvmFirst + 4, kLvmDeleteItem = kLvmFirst + 8, kLvmDeleteAllItems = kLvmFirst + 9,
               kLvmGetNextItem = kLvmFirst + 12;
constexpr int kLvniSelected = 0x0002;

std::intptr_t Send(const CWnd& w, UINT message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0) {
  AfxNativeWindow* window = w.GetNativeWindow();
  return window ? w32::Send(window, message, wParam, lParam) : -1;
}

std::intptr_t SendText(const CWnd& w, UINT message, std::uintptr_t wParam, const char* text) {
  const std::wstring wide = w32::Wide(text);
  return Send(w, message, wParam, reinterpret_cast<std::intptr_t>(wide.c_str()));
}

int Result(std::intptr_t r) { return r < 0 ? -1 : static_cast<int>(r); }

}  // namespace

int CButton::GetCheck() const { return Send(*this, kBmGetCheck) == BST_CHECKED ? BST_CHECKED : BST_UNCHECKED; }

int CComboBox::AddString(const char* text) { return Result(SendText(*this, kCbAddString, 0, text)); }
int CComboBox::InsertString(int index, const char* text) {
  return Result(SendText(*this, kCbInsertString, static_cast<std::uintptr_t>(index), text));
}
int CComboBox::DeleteString(UINT index) { return Result(Send(*this, kCbDeleteString, index)); }
void CComboBox::ResetContent() { Send(*this, kCbResetContent); }
int CComboBox::GetCount() const { return Result(Send(*this, kCbGetCount)); }
int CComboBox::GetCurSel() const { return Result(Send(*this, kCbGetCurSel)); }
int CComboBox::SetCurSel(int index) {
  // Out of range clears the selection, which Wine's list leaves in place.
  if (index < -1 || index >= GetCount()) index = -1;
  const int result = Result(Send(*this, kCbSetCurSel, static_cast<std::uintptr_t>(index)));
  return index < 0 ? CB_ERR : result;
}
int CComboBox::SetItemData(int index, DWORD_PTR data) {
  return Result(Send(*this, kCbSetItemData, static_cast<std::uintptr_t>(index), static_cast<std::intptr_t>(data)));
}
DWORD_PTR CComboBox::GetItemData(int index) const {
  return static_cast<DWORD_PTR>(Send(*this, kCbGetItemData, static_cast<std::uintptr_t>(index)));
}
int CComboBox::GetLBText(int index, char* buffer) const {
  if (index < 0 || index >= GetCount()) return CB_ERR;
  return CopyOut(w32::ComboText(m_pWindow, index), buffer);
}
void CComboBox::GetLBText(int index, CString& text) const {
  text = (index >= 0 && index < GetCount()) ? w32::Gbk(w32::ComboText(m_pWindow, index)).c_str() : "";
}

int CListBox::InsertString(int index, const char* text) {
  return Result(SendText(*this, kLbInsertString, static_cast<std::uintptr_t>(index), text));
}
int CListBox::DeleteString(UINT index) { return Result(Send(*this, kLbDeleteString, index)); }
void CListBox::ResetContent() { Send(*this, kLbResetContent); }
int CListBox::GetCount() const { return Result(Send(*this, kLbGetCount)); }
int CListBox::SetItemData(int index, DWORD_PTR data) {
  return Result(Send(*this, kLbSetItemData, static_cast<std::uintptr_t>(index), static_cast<std::intptr_t>(data)));
}
DWORD_PTR CListBox::GetItemData(int index) const {
  return static_cast<DWORD_PTR>(Send(*this, kLbGetItemData, static_cast<std::uintptr_t>(index)));
}
int CListBox::SetTopIndex(int index) { return Result(Send(*this, kLbSetTopIndex, static_cast<std::uintptr_t>(index))); }
int CListBox::GetTopIndex() const { return Result(Send(*this, kLbGetTopIndex)); }
void CListBox::GetText(int index, CString& text) const {
  text = (index >= 0 && index < GetCount()) ? w32::Gbk(w32::ListBoxText(m_pWindow, index)).c_str() : "";
}
int CListBox::GetCurSel() const { return Result(Send(*this, kLbGetCurSel)); }
int CListBox::SetCurSel(int index) { return Result(Send(*this, kLbSetCurSel, static_cast<std::uintptr_t>(index))); }

DWORD CListCtrl::SetExtendedStyle(DWORD style) {
  const DWORD previous = m_exStyle;
  m_exStyle = style;
  if (m_pWindow) w32::ListSetExtendedStyle(m_pWindow, style);
  return previous;
}
DWORD CListCtrl::GetExtendedStyle() const { return m_exStyle; }
int CListCtrl::InsertColumn(int column, const char* heading, int format, int width, int) {
  return m_pWindow ? w32::ListInsertColumn(m_pWindow, column, w32::Wide(heading), format, width) : -1;
}
int CListCtrl::InsertItem(int index, const char* text) {
  if (m_pWindow == nullptr) return -1;
  return w32::ListInsertItem(m_pWindow, index > GetItemCount() ? GetItemCount() : index, w32::Wide(text));
}
BOOL CListCtrl::SetItemText(int item, int subItem, const char* text) {
  return m_pWindow && w32::ListSetItemText(m_pWindow, item, subItem, w32::Wide(text)) ? TRUE : FALSE;
}
int CListCtrl::GetItemText(int item, int subItem, char* buffer, int length) const {
  return afx::CopyCut(GetItemText(item, subItem).GetString(), buffer, length);
}
CString CListCtrl::GetItemText(int item, int subItem) const {
  if (m_pWindow == nullptr || item < 0 || item >= GetItemCount()) return CString();
  return CString(w32::Gbk(w32::ListItemText(m_pWindow, item, subItem)).c_str());
}
BOOL CListCtrl::DeleteItem(int item) { return Send(*this, kLvmDeleteItem, static_cast<std::uintptr_t>(item)) > 0; }
BOOL CListCtrl::DeleteAllItems() { return Send(*this, kLvmDeleteAllItems) > 0; }
int CListCtrl::GetItemCount() const { return Result(Send(*this, kLvmGetItemCount)); }
// A position is the row index plus one, so that no selection is nullptr.
POSITION CListCtrl::GetFirstSelectedItemPosition() const {
  const std::intptr_t first = Send(*this, kLvmGetNextItem, static_cast<std::uintptr_t>(-1), kLvniSelected);
  return first < 0 ? nullptr : reinterpret_cast<POSITION>(first + 1);
}
int CListCtrl::GetNextSelectedItem(POSITION& position) const {
  const int current = static_cast<int>(reinterpret_cast<std::intptr_t>(position)) - 1;
  const std::intptr_t next = Send(*this, kLvmGetNextItem, static_cast<std::uintptr_t>(current), kLvniSelected);
  position = next < 0 ? nullptr : reinterpret_cast<POSITION>(next + 1);
  return current;
}
BOOL CListCtrl::SetItemState(int item, UINT state, UINT mask) {
  return m_pWindow && w32::ListSetItemState(m_pWindow, item, state, mask) ? TRUE : FALSE;
}

bool afx::IsPushButton(const CWnd& control) {
  return control.GetNativeWindow() != nullptr && w32::IsButton(control.GetNativeWindow());
}
