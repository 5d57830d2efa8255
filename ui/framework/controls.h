// The controls of a dialog: buttons and check boxes, edits, static texts,
// drop-down lists, list boxes and report-view lists.
#pragma once

#include "ui/framework/wnd.h"

// A push button, or a check box (BS_AUTOCHECKBOX).
class CButton : public CWnd {
 public:
  int GetCheck() const;  // BST_CHECKED or BST_UNCHECKED
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
  int GetLBText(int index, char* buffer) const;  // buffer must hold the text and its NUL
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
  POSITION GetFirstSelectedItemPosition() const;
  int GetNextSelectedItem(POSITION& position) const;
  BOOL SetItemState(int item, UINT state, UINT mask);

 private:
  DWORD m_exStyle = 0;
};
