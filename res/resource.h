// Identifiers of the program's resources: dialog templates, controls, the
// icon, strings and menu commands.
#pragma once

// Dialog templates.
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDD_MAIN = 102;
inline constexpr int IDD_MODIFY_SERVER_LIST = 131;
inline constexpr int IDD_ADD_SERVER = 132;
inline constexpr int IDD_HELP = 133;

// Icon.
inline constexpr int IDI_MAIN = 128;

// Strings.
inline constexpr unsigned IDS_ABOUTBOX = 101;

// System-menu command of the about box (the low four bits are the system's).
inline constexpr unsigned IDM_ABOUTBOX = 0x0010;

// A template item that nobody addresses.
inline constexpr int IDC_STATIC = -1;

// Main dialog.
inline constexpr int IDC_SERVER_LIST = 1000;
inline constexpr int IDC_MODE = 1001;
inline constexpr int IDC_CALIBRATE = 1005;
inline constexpr int IDC_INFO = 1006;
inline constexpr int IDC_QUERY = 1007;
inline constexpr int IDC_TEST_START = 1008;
inline constexpr int IDC_TEST_STOP = 1009;
inline constexpr int IDC_MODIFY_SERVERS = 1010;
inline constexpr int IDC_START = 1011;
inline constexpr int IDC_STOP = 1012;
inline constexpr int IDC_HELP_BUTTON = 1013;
inline constexpr int IDC_STATION = 1014;
inline constexpr int IDC_STANDARD_TIME = 1016;

// Server list editor.
inline constexpr int IDC_SERVER_TABLE = 1015;
inline constexpr int IDC_ADD_SERVER = 1018;
inline constexpr int IDC_MODIFY_SERVER = 1019;
inline constexpr int IDC_DELETE_SERVER = 1020;
inline constexpr int IDC_RESTORE_DEFAULTS = 1021;

// Add / modify one server.
inline constexpr int IDC_SERVER_ADDRESS = 1019;
inline constexpr int IDC_SERVER_REMARK = 1020;

// Help box.
inline constexpr int IDC_HELP_TEXT = 1021;
