// The live server list is the server combo box of the main window; these
// fill it (or any list with the same three operations) and turn its entries
// into the editor's rows and back into Server.dat.
#pragma once

#include <string>
#include <vector>

#include "servers/server_file.h"

// What the combo box shows at start-up: the file's entries when the file
// exists, its CRC holds and its size agrees with its count; else the
// built-in list. Never writes the file. *damaged (when given) tells
// whether a file was there that gave way to the built-in list.
std::vector<std::string> LoadServerEntryTexts(const std::string& path, bool* damaged = nullptr);

// What the combo box shows after the editor saved: the file's entries
// without the CRC test. A file that cannot be read gives the built-in list,
// as the next start would.
std::vector<std::string> ReloadServerEntryTexts(const std::string& path);

// The built-in list's entry texts.
std::vector<std::string> DefaultServerEntryTexts();

// Entry texts taken apart into (address, remark) rows, as the editor shows
// them.
std::vector<ServerRow> ServerRowsFromEntryTexts(const std::vector<std::string>& texts);

// The rows of the built-in list, for the editor's restore command.
std::vector<ServerRow> DefaultServerRows();

// ComboBox needs ResetContent(), AddString(const char*) and SetCurSel(int),
// as the framework's combo box has.
template <class ComboBox>
void FillServerCombo(ComboBox& combo, const std::vector<std::string>& texts) {
  combo.ResetContent();
  for (const std::string& text : texts) combo.AddString(text.c_str());
  if (!texts.empty()) combo.SetCurSel(0);
}

// Start-up fill of the server combo box; the first entry is selected.
template <class ComboBox>
void LoadServerList(ComboBox& combo, const ServerListFile& list) {
  FillServerCombo(combo, LoadServerEntryTexts(ServerListReadPath(list)));
}

// Refill after the editor was confirmed; the first entry is selected.
template <class ComboBox>
void ReloadServerList(ComboBox& combo, const std::string& path) {
  FillServerCombo(combo, ReloadServerEntryTexts(path));
}
