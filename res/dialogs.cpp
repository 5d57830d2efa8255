// The program's dialog templates, string table and icons.
#include <iterator>

#include "res/icons/tempiola-16.xpm"
#include "res/icons/tempiola-32.xpm"
#include "res/resource.h"
#include "res/strings.h"
#include "afx/dialog_template.h"

namespace {

using C = DlgItemClass;

constexpr std::uint32_t kChild = WS_VISIBLE;
constexpr std::uint32_t kButton = kChild | WS_TABSTOP | BS_PUSHBUTTON;
constexpr std::uint32_t kDefButton = kChild | WS_TABSTOP | BS_DEFPUSHBUTTON;
constexpr std::uint32_t kHiddenButton = WS_TABSTOP | BS_PUSHBUTTON;
constexpr std::uint32_t kLabel = kChild | SS_LEFT;
constexpr std::uint32_t kLine = kChild | SS_ETCHEDHORZ;
constexpr std::uint32_t kDropList = kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
constexpr std::uint32_t kCheckBox = kChild | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr std::uint32_t kFrame = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

constexpr DlgItemTemplate kAboutItems[] = {
    {IDC_STATIC, C::Static, kChild | SS_ICON, 11, 17, 20, 20, nullptr, IDI_MAIN},
    {IDC_STATIC, C::Static, kLabel | SS_NOPREFIX, 40, 10, 119, 8, res::kAboutVersion, 0},
    {IDC_STATIC, C::Static, kLabel, 40, 25, 119, 8, res::kAboutVersionNumber, 0},
    {1, C::Button, kDefButton | WS_GROUP, 178, 7, 50, 14, res::kOk, 0},
};

constexpr DlgItemTemplate kMainItems[] = {
    {IDC_CALIBRATE, C::Button, kButton, 7, 25, 53, 14, res::kCalibrate, 0},
    {IDC_QUERY, C::Button, kButton, 79, 25, 53, 14, res::kQuery, 0},
    {IDC_STANDARD_TIME, C::Button, kCheckBox, 142, 27, 100, 10, res::kStandardTimeCheck, 0},
    {IDC_SERVER_LIST, C::ComboBox, kDropList, 52, 7, 275, 126, nullptr, 0},
    {IDC_MODIFY_SERVERS, C::Button, kButton, 274, 25, 53, 14, res::kModifyServers, 0},
    {IDC_MODE, C::ComboBox, kDropList, 183, 52, 38, 57, nullptr, 0},
    {IDC_STATION, C::ComboBox, kDropList, 225, 52, 45, 90, nullptr, 0},
    {IDC_START, C::Button, kButton, 7, 51, 53, 14, res::kStartTransmit, 0},
    {IDC_STOP, C::Button, kButton, 79, 51, 53, 14, res::kStopTransmit, 0},
    {IDC_HELP_BUTTON, C::Button, kButton, 274, 51, 53, 14, res::kHelpButton, 0},
    {IDC_INFO, C::ListBox, kChild | WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_SORT | LBS_NOINTEGRALHEIGHT,
     7, 71, 320, 86, nullptr, 0},
    {2, C::Button, kButton, 152, 172, 29, 14, res::kExit, 0},
    {IDC_STATIC, C::Static, kLabel, 7, 9, 45, 8, res::kNtpServerLabel, 0},
    {IDC_TEST_START, C::Button, kHiddenButton, 217, 169, 53, 14, res::kStartTransmit, 0},
    {IDC_TEST_STOP, C::Button, kHiddenButton, 217, 169, 53, 14, res::kStopTransmit, 0},
    {IDC_STATIC, C::Static, kLine, 7, 45, 320, 1, nullptr, 0},
    {IDC_STATIC, C::Static, kLabel, 274, 178, 53, 8, res::kVersionLabel, 0},
    {IDC_STATIC, C::Static, kLabel, 7, 178, 45, 8, res::kProductLabel, 0},
    {IDC_STATIC, C::Static, kLine, 7, 163, 320, 1, nullptr, 0},
    {IDC_STATIC, C::Static, kLabel, 142, 54, 41, 8, res::kModeLabel, 0},
};

constexpr DlgItemTemplate kServerListItems[] = {
    {1, C::Button, kDefButton, 71, 128, 34, 14, res::kOk, 0},
    {2, C::Button, kButton, 174, 128, 34, 14, res::kCancel, 0},
    {IDC_STATIC, C::Static, kLabel, 7, 7, 41, 8, res::kServerListLabel, 0},
    {IDC_SERVER_TABLE, C::ListView, kChild | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
     7, 18, 265, 72, nullptr, 0},
    {IDC_ADD_SERVER, C::Button, kButton, 7, 97, 26, 14, res::kAddButton, 0},
    {IDC_MODIFY_SERVER, C::Button, kButton, 52, 97, 26, 14, res::kModifyButton, 0},
    {IDC_DELETE_SERVER, C::Button, kButton, 97, 97, 26, 14, res::kDeleteButton, 0},
    {IDC_RESTORE_DEFAULTS, C::Button, kButton, 211, 97, 61, 14, res::kRestoreDefaultsButton, 0},
    {IDC_STATIC, C::Static, kLine, 7, 118, 265, 1, nullptr, 0},
};

constexpr std::uint32_t kEdit = kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;

constexpr DlgItemTemplate kAddServerItems[] = {
    {1, C::Button, kDefButton, 86, 44, 34, 14, res::kOk, 0},
    {2, C::Button, kButton, 172, 44, 34, 14, res::kCancel, 0},
    {IDC_STATIC, C::Static, kLabel, 7, 7, 61, 8, res::kServerAddressLabel, 0},
    {IDC_SERVER_ADDRESS, C::Edit, kEdit, 74, 5, 212, 12, nullptr, 0},
    {IDC_STATIC, C::Static, kLabel, 7, 25, 61, 8, res::kServerRemarkLabel, 0},
    {IDC_SERVER_REMARK, C::Edit, kEdit, 74, 23, 212, 12, nullptr, 0},
};

constexpr DlgItemTemplate kHelpItems[] = {
    {1, C::Button, kDefButton, 138, 223, 34, 14, res::kOk, 0},
    {IDC_HELP_TEXT, C::Edit,
     kChild | WS_BORDER | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 7, 7, 296, 206,
     nullptr, 0},
};

#define ITEMS(a) a, static_cast<int>(std::size(a))

constexpr DlgTemplate kTemplates[] = {
    {IDD_ABOUTBOX, kFrame, 0, 235, 55, res::kAboutCaption, res::kFontSongTi, 12, ITEMS(kAboutItems)},
    {IDD_MAIN, kFrame | WS_VISIBLE | WS_MINIMIZEBOX, WS_EX_APPWINDOW, 334, 193, res::kMainCaption, res::kFontSongTi,
     12, ITEMS(kMainItems)},
    {IDD_MODIFY_SERVER_LIST, kFrame, 0, 279, 149, res::kServerListCaption, res::kFontSongTi, 12,
     ITEMS(kServerListItems)},
    {IDD_ADD_SERVER, kFrame, 0, 293, 65, res::kAddServerCaption, res::kFontSongTi, 12, ITEMS(kAddServerItems)},
    {IDD_HELP, kFrame, 0, 310, 244, res::kHelpCaption, res::kFontSongTi, 12, ITEMS(kHelpItems)},
};

struct StringResource {
  unsigned id;
  const char* text;
};

constexpr StringResource kStrings[] = {
    {IDS_ABOUTBOX, res::kAboutMenuItem},
};

constexpr IconResource kIcons[] = {
    {IDI_MAIN, tempiola_32, tempiola_16},
};

}  // namespace

const DlgTemplate* FindDialogTemplate(int id) {
  for (const DlgTemplate& t : kTemplates) {
    if (t.id == id) return &t;
  }
  return nullptr;
}

const char* FindStringResource(unsigned id) {
  for (const StringResource& s : kStrings) {
    if (s.id == id) return s.text;
  }
  return nullptr;
}

const IconResource* FindIconResource(int id) {
  for (const IconResource& i : kIcons) {
    if (i.id == id) return &i;
  }
  return nullptr;
}
