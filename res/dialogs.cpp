// The program's dialog templates, string table and icons.
#include <vector>

#include "res/icons/tempiola-16.xpm"
#include "res/icons/tempiola-32.xpm"
#include "res/resource.h"
#include "res/strings.h"
#include "afx/afx_types.h"
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

constexpr std::uint32_t kEdit = kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;

// A text in the language a set of templates is built for.
struct In {
  res::Language language;
  const char* operator()(const res::Text& text) const { return text.In(language); }
  const char* operator()(const char* text) const { return text; }
};

// The templates in one language, built when that language first asks for
// one; the items they point to are their own.
class Templates {
 public:
  explicit Templates(res::Language language) {
    const In t{language};
    about_ = {
        {IDC_STATIC, C::Static, kChild | SS_ICON, 11, 17, 20, 20, nullptr, IDI_MAIN},
        {IDC_STATIC, C::Static, kLabel | SS_NOPREFIX, 40, 10, 119, 8, t(res::kAboutVersion), 0},
        {IDC_STATIC, C::Static, kLabel, 40, 25, 119, 8, t(res::kAboutVersionNumber), 0},
        {IDOK, C::Button, kDefButton | WS_GROUP, 178, 7, 50, 14, t(res::kOk), 0},
    };

    main_ = {
        {IDC_CALIBRATE, C::Button, kButton, 7, 25, 53, 14, t(res::kCalibrate), 0},
        {IDC_QUERY, C::Button, kButton, 79, 25, 53, 14, t(res::kQuery), 0},
        {IDC_STANDARD_TIME, C::Button, kCheckBox, 142, 27, 100, 10, t(res::kStandardTimeCheck), 0},
        {IDC_SERVER_LIST, C::ComboBox, kDropList, 52, 7, 275, 126, nullptr, 0},
        {IDC_MODIFY_SERVERS, C::Button, kButton, 274, 25, 53, 14, t(res::kModifyServers), 0},
        {IDC_MODE, C::ComboBox, kDropList, 183, 52, 38, 57, nullptr, 0},
        {IDC_STATION, C::ComboBox, kDropList, 225, 52, 45, 90, nullptr, 0},
        {IDC_START, C::Button, kButton, 7, 51, 53, 14, t(res::kStartTransmit), 0},
        {IDC_STOP, C::Button, kButton, 79, 51, 53, 14, t(res::kStopTransmit), 0},
        {IDC_HELP_BUTTON, C::Button, kButton, 274, 51, 53, 14, t(res::kHelpButton), 0},
        {IDC_INFO, C::ListBox, kChild | WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_SORT | LBS_NOINTEGRALHEIGHT,
         7, 71, 320, 86, nullptr, 0},
        {IDCANCEL, C::Button, kButton, 152, 172, 29, 14, t(res::kExit), 0},
        {IDC_STATIC, C::Static, kLabel, 7, 9, 45, 8, t(res::kNtpServerLabel), 0},
        {IDC_TEST_START, C::Button, kHiddenButton, 217, 169, 53, 14, t(res::kStartTransmit), 0},
        {IDC_TEST_STOP, C::Button, kHiddenButton, 217, 169, 53, 14, t(res::kStopTransmit), 0},
        {IDC_STATIC, C::Static, kLine, 7, 45, 320, 1, nullptr, 0},
        {IDC_STATIC, C::Static, kLabel, 274, 178, 53, 8, t(res::kVersionLabel), 0},
        {IDC_STATIC, C::Static, kLabel, 7, 178, 45, 8, t(res::kProductLabel), 0},
        {IDC_STATIC, C::Static, kLine, 7, 163, 320, 1, nullptr, 0},
        {IDC_STATIC, C::Static, kLabel, 142, 54, 41, 8, t(res::kModeLabel), 0},
    };

    serverList_ = {
        {IDOK, C::Button, kDefButton, 71, 128, 34, 14, t(res::kOk), 0},
        {IDCANCEL, C::Button, kButton, 174, 128, 34, 14, t(res::kCancel), 0},
        {IDC_STATIC, C::Static, kLabel, 7, 7, 41, 8, t(res::kServerListLabel), 0},
        {IDC_SERVER_TABLE, C::ListView, kChild | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
         7, 18, 265, 72, nullptr, 0},
        {IDC_ADD_SERVER, C::Button, kButton, 7, 97, 26, 14, t(res::kAddButton), 0},
        {IDC_MODIFY_SERVER, C::Button, kButton, 52, 97, 26, 14, t(res::kModifyButton), 0},
        {IDC_DELETE_SERVER, C::Button, kButton, 97, 97, 26, 14, t(res::kDeleteButton), 0},
        {IDC_RESTORE_DEFAULTS, C::Button, kButton, 211, 97, 61, 14, t(res::kRestoreDefaultsButton), 0},
        {IDC_STATIC, C::Static, kLine, 7, 118, 265, 1, nullptr, 0},
    };

    addServer_ = {
        {IDOK, C::Button, kDefButton, 86, 44, 34, 14, t(res::kOk), 0},
        {IDCANCEL, C::Button, kButton, 172, 44, 34, 14, t(res::kCancel), 0},
        {IDC_STATIC, C::Static, kLabel, 7, 7, 61, 8, t(res::kServerAddressLabel), 0},
        {IDC_SERVER_ADDRESS, C::Edit, kEdit, 74, 5, 212, 12, nullptr, 0},
        {IDC_STATIC, C::Static, kLabel, 7, 25, 61, 8, t(res::kServerRemarkLabel), 0},
        {IDC_SERVER_REMARK, C::Edit, kEdit, 74, 23, 212, 12, nullptr, 0},
    };

    help_ = {
        {IDOK, C::Button, kDefButton, 138, 223, 34, 14, t(res::kOk), 0},
        {IDC_HELP_TEXT, C::Edit,
         kChild | WS_BORDER | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 7, 7, 296, 206,
         nullptr, 0},
    };

    all_ = {
        {IDD_ABOUTBOX, kFrame, 0, 235, 55, t(res::kAboutCaption), res::kFontSongTi, 12, about_.data(), Count(about_)},
        {IDD_MAIN, kFrame | WS_VISIBLE | WS_MINIMIZEBOX, WS_EX_APPWINDOW, 334, 193, t(res::kMainCaption), res::kFontSongTi,
         12, main_.data(), Count(main_)},
        {IDD_MODIFY_SERVER_LIST, kFrame, 0, 279, 149, t(res::kServerListCaption), res::kFontSongTi, 12,
         serverList_.data(), Count(serverList_)},
        {IDD_ADD_SERVER, kFrame, 0, 293, 65, t(res::kAddServerCaption), res::kFontSongTi, 12, addServer_.data(), Count(addServer_)},
        {IDD_HELP, kFrame, 0, 310, 244, t(res::kHelpCaption), res::kFontSongTi, 12, help_.data(), Count(help_)},
    };
  }
  Templates(const Templates&) = delete;
  Templates& operator=(const Templates&) = delete;

  const DlgTemplate* Find(int id) const {
    for (const DlgTemplate& t : all_) {
      if (t.id == id) return &t;
    }
    return nullptr;
  }

 private:
  static int Count(const std::vector<DlgItemTemplate>& items) { return static_cast<int>(items.size()); }

  std::vector<DlgItemTemplate> about_, main_, serverList_, addServer_, help_;
  std::vector<DlgTemplate> all_;
};

struct StringResource {
  unsigned id;
  const res::Text* text;
};

constexpr StringResource kStrings[] = {
    {IDS_ABOUTBOX, &res::kAboutMenuItem},
};

constexpr IconResource kIcons[] = {
    {IDI_MAIN, tempiola_32, tempiola_16},
};

}  // namespace

const DlgTemplate* FindDialogTemplate(int id) {
  static const Templates chinese(res::Language::Chinese);
  static const Templates english(res::Language::English);
  return (res::CurrentLanguage() == res::Language::Chinese ? chinese : english).Find(id);
}

const char* FindStringResource(unsigned id) {
  for (const StringResource& s : kStrings) {
    if (s.id == id) return *s.text;
  }
  return nullptr;
}

const IconResource* FindIconResource(int id) {
  for (const IconResource& i : kIcons) {
    if (i.id == id) return &i;
  }
  return nullptr;
}
