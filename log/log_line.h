// The shown form of an information line: its time and its text.
#pragma once

// "%02d:%02d:%02d  %s", cut to fit 128 bytes with its NUL, never inside a
// double-byte character.
void FormatLogLine(char out[128], int hour, int minute, int second, const char* text);
