#include "servers/server_list.h"

#include <cstdio>

#include "servers/default_servers.h"
#include "servers/server_entry.h"

std::vector<std::string> DefaultServerEntryTexts() {
  return std::vector<std::string>(DefaultServerTable, DefaultServerTable + kDefaultServerCount);
}

std::vector<std::string> LoadServerEntryTexts(const std::string& path, bool* damaged) {
  std::vector<std::string> texts;
  const bool exists = ServerFileExists(path);
  if (damaged) *damaged = exists;
  if (exists && VerifyServerFile(path) == kServerFileUsable && ReadServerEntryTexts(path, texts)) {
    if (damaged) *damaged = false;
    return texts;
  }
  return DefaultServerEntryTexts();
}

std::vector<std::string> ReloadServerEntryTexts(const std::string& path) {
  std::vector<std::string> texts;
  if (ReadServerEntryTexts(path, texts)) return texts;
  return DefaultServerEntryTexts();
}

std::vector<ServerRow> ServerRowsFromEntryTexts(const std::vector<std::string>& texts) {
  std::vector<ServerRow> rows;
  rows.reserve(texts.size());
  for (const std::string& entry : texts) {
    char text[kServerEntryTextSize];
    std::snprintf(text, sizeof text, "%s", entry.c_str());
    char* address = nullptr;
    char* remark = nullptr;
    ParseServerEntry(text, address, remark);
    rows.push_back({address, remark});
  }
  return rows;
}

std::vector<ServerRow> DefaultServerRows() { return ServerRowsFromEntryTexts(DefaultServerEntryTexts()); }
