// Inside the dialog layer: the system's side of windows, the handle map,
// the modal stack and what the layer's dialog procedure and loop do to a
// dialog.
#pragma once

#include <cstdint>
#include <string>

#include "ui/framework/controls.h"
#include "ui/framework/detail/control_wrapper.h"
#include "ui/framework/detail/handler_guard.h"
#include "ui/framework/detail/top_level_list.h"
#include "ui/framework/dialog.h"
#include "ui/framework/message_box.h"
#include "ui/framework/paint_dc.h"
#include "ui/framework/winapp.h"
#include "ui/framework/win32/afx_modal.h"
#include "ui/framework/win32/system_calls.h"

namespace afx {

// Handle <-> object for every window and control of this process; a post
// to a layer handle goes on to the system window behind it.
void MapHandle(HWND handle, CWnd* wnd, w32::Handle window);
void UnmapHandle(HWND handle, const CWnd* wnd, w32::Handle window);
CWnd* LookupHandle(HWND handle);
// The object of a system window, or with withinParents of the nearest
// window around it that has one; nullptr for none.
CWnd* LookupWidget(w32::Handle window, bool withinParents = false);
// The same object's layer handle, read under the map's lock; 0 for none.
HWND LayerHandle(w32::Handle window, bool withinParents = false);

// GBK text cut to maxCount - 1 bytes (never half a character) into buffer;
// returns the number of bytes copied.
int CopyCut(const std::string& text, char* buffer, int maxCount);

// Modal loops.
void PushModal(AfxModalFrame* frame);
void PopModal(AfxModalFrame* frame);
void NotifyModalStarted(AfxModalFrame* frame);

}  // namespace afx

struct AfxIcon {
  int id;
  void* large;
  void* small;
};

// What the layer's dialog procedure and loop (and its test support) do to
// a dialog.
struct AfxDialogAccess {
  static std::intptr_t Procedure(void* context, w32::Handle window, unsigned message, std::uintptr_t wParam,
                                 std::intptr_t lParam, bool* handled);
  static bool PreTranslate(void* context, const w32::QueuedMessage& message);
  static std::string ToolTipText(CDialog& dialog, HWND control);
  static bool Ended(const CDialog& dialog) { return dialog.m_bEnded; }
  static AfxNativeWindow* ToolTips(const CDialog& dialog) { return dialog.m_hToolTips; }
  static void Bind(CWnd& wnd, w32::Handle window, int id, CWnd* owner, std::uint32_t style) {
    wnd.Attach(window, id, owner, style);
  }
};
