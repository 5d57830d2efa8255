// The version block of the program.
#pragma once

inline constexpr int kFileVersion[4] = {1, 0, 0, 1};
inline constexpr int kProductVersion[4] = {1, 0, 0, 1};
inline constexpr char kVersionText[] = "1.0.0.1";
inline constexpr char kSpecialBuild[] = "20170308";
inline constexpr unsigned kVersionLanguage = 0x0804;  // Chinese (Simplified, PRC)
inline constexpr unsigned kVersionCodePage = 936;
