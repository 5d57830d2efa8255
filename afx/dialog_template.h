// Dialog templates as plain tables: the dialog's frame, caption and font,
// and its items in tab order with their rectangles in dialog units. The
// window layer builds real dialogs from them; nothing here needs a display.
#pragma once

#include <cstdint>

// Window styles (the bits the templates use).
inline constexpr std::uint32_t WS_POPUP = 0x80000000u;
inline constexpr std::uint32_t WS_VISIBLE = 0x10000000u;
inline constexpr std::uint32_t WS_DISABLED = 0x08000000u;
inline constexpr std::uint32_t WS_CAPTION = 0x00C00000u;
inline constexpr std::uint32_t WS_BORDER = 0x00800000u;
inline constexpr std::uint32_t WS_VSCROLL = 0x00200000u;
inline constexpr std::uint32_t WS_HSCROLL = 0x00100000u;
inline constexpr std::uint32_t WS_SYSMENU = 0x00080000u;
inline constexpr std::uint32_t WS_GROUP = 0x00020000u;
inline constexpr std::uint32_t WS_TABSTOP = 0x00010000u;
inline constexpr std::uint32_t WS_MINIMIZEBOX = 0x00020000u;  // on a frame, the same bit as WS_GROUP
inline constexpr std::uint32_t DS_MODALFRAME = 0x00000080u;
inline constexpr std::uint32_t WS_EX_APPWINDOW = 0x00040000u;

// Button styles.
inline constexpr std::uint32_t BS_PUSHBUTTON = 0x0u;
inline constexpr std::uint32_t BS_DEFPUSHBUTTON = 0x1u;
inline constexpr std::uint32_t BS_AUTOCHECKBOX = 0x3u;  // a check box that ticks itself when clicked

// Edit styles.
inline constexpr std::uint32_t ES_MULTILINE = 0x0004u;
inline constexpr std::uint32_t ES_AUTOVSCROLL = 0x0040u;
inline constexpr std::uint32_t ES_AUTOHSCROLL = 0x0080u;
inline constexpr std::uint32_t ES_READONLY = 0x0800u;

// Static styles.
inline constexpr std::uint32_t SS_LEFT = 0x0u;
inline constexpr std::uint32_t SS_ICON = 0x3u;
inline constexpr std::uint32_t SS_ETCHEDHORZ = 0x10u;
inline constexpr std::uint32_t SS_NOPREFIX = 0x80u;

// Combo box styles.
inline constexpr std::uint32_t CBS_DROPDOWNLIST = 0x3u;

// List box styles.
inline constexpr std::uint32_t LBS_NOTIFY = 0x1u;
inline constexpr std::uint32_t LBS_SORT = 0x2u;
inline constexpr std::uint32_t LBS_NOINTEGRALHEIGHT = 0x100u;

// List-view styles.
inline constexpr std::uint32_t LVS_REPORT = 0x1u;
inline constexpr std::uint32_t LVS_SINGLESEL = 0x4u;
inline constexpr std::uint32_t LVS_SHOWSELALWAYS = 0x8u;

enum class DlgItemClass : std::uint8_t { Button, Edit, Static, ListBox, ComboBox, ListView };

struct DlgItemTemplate {
  int id;  // IDC_STATIC (-1) for items nobody addresses
  DlgItemClass itemClass;
  std::uint32_t style;
  short x, y, cx, cy;  // dialog units; a combo box's height is its open list's
  const char* text;    // GBK; nullptr for none
  int imageId;         // icon resource of an SS_ICON static, else 0
};

struct DlgTemplate {
  int id;
  std::uint32_t style;
  std::uint32_t exStyle;
  short cx, cy;         // client area in dialog units
  const char* caption;  // GBK
  const char* faceName; // GBK
  int pointSize;
  const DlgItemTemplate* items;
  int itemCount;
};

// The program's templates, string table and icons (see res/).
const DlgTemplate* FindDialogTemplate(int id);
// GBK text of a string resource, nullptr when there is none.
const char* FindStringResource(unsigned id);

struct IconResource {
  int id;
  const char* const* xpmLarge;  // 32 x 32
  const char* const* xpmSmall;  // 16 x 16
};
const IconResource* FindIconResource(int id);
