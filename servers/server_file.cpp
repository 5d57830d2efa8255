#include "servers/server_file.h"

#include <cstdio>
#include <cstring>
#include <string_view>

#include "afx/gbk.h"
#include "platform/file.h"
#include "platform/settings_folder.h"
#include "platform/system_error.h"
#include "servers/crc32.h"
#include "servers/server_entry.h"

namespace {

constexpr size_t kCrcBlockSize = 1024;

void PutLe32(unsigned char* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>(value >> (8 * i));
}

uint32_t GetLe32(const unsigned char* at) {
  return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16 |
         static_cast<uint32_t>(at[3]) << 24;
}

// A record field as text: up to its terminator, and never more than 62
// bytes, so a field without a terminator is not read beyond.
void FieldText(const unsigned char* field, char (&text)[kServerFieldMaxBytes + 1]) {
  const void* nul = std::memchr(field, '\0', kServerFileFieldSize);
  size_t length = nul ? static_cast<size_t>(static_cast<const unsigned char*>(nul) - field) : kServerFileFieldSize;
  length = GbkCutLength(std::string_view(reinterpret_cast<const char*>(field), length), kServerFieldMaxBytes);
  std::memcpy(text, field, length);
  text[length] = '\0';
}

// A field of a row cut as the 63-byte buffers of the editor cut it.
void PutField(unsigned char* field, const std::string& text) {
  std::string_view t(text);
  t = t.substr(0, t.find('\0'));
  std::memcpy(field, t.data(), GbkCutLength(t, kServerFieldMaxBytes));
}

// Every open asks for reading and writing, as other programs expect of the
// list; a file the user may only read is still read.
bool OpenForReading(platform::File& file, const std::string& path) {
  return !path.empty() && (file.Open(path, platform::File::Mode::kReadWriteExisting) ||
                           file.Open(path, platform::File::Mode::kReadExisting));
}

}  // namespace

std::string ServerFilePath(const std::string& exeDir) {
  char path[kServerFilePathSize];
  int n = std::snprintf(path, sizeof path, "%sServer.dat", exeDir.c_str());
  // A cut path would name some other file.
  if (n < 0 || static_cast<size_t>(n) >= sizeof path || exeDir.find('\0') != std::string::npos) return {};
  return path;
}

ServerListFile LocateServerList(const std::string& exeDir) {
  const platform::SettingsFolder settings = platform::FindSettingsFolder(exeDir);
  ServerListFile list;
  list.path = ServerFilePath(settings.folder);
  if (!settings.fallback.empty()) {
    list.fallback = ServerFilePath(settings.fallback);
    list.folder = settings.folder;
  }
  list.noHome = settings.noHome;
  return list;
}

ServerListFile ServerListAt(const std::string& path) { return {path, {}, {}, false}; }

std::string ServerListReadPath(const ServerListFile& list) {
  return list.fallback.empty() || ServerFileExists(list.path) ? list.path : list.fallback;
}

bool MakeServerListFolder(const ServerListFile& list, int* error) {
  if (list.folder.empty()) return true;
  return platform::MakeSettingsFolder(list.folder, error);
}

bool AppendServerFileCrc(platform::File& file) {
  if (!file.Seek(0)) return false;
  uint32_t crc = 0xFFFFFFFF;
  unsigned char block[kCrcBlockSize];
  for (;;) {
    long long got = file.Read(block, sizeof block);
    if (got < 0) return false;
    UpdateCrc32(block, static_cast<unsigned>(got), crc);
    if (static_cast<size_t>(got) < sizeof block) break;
  }
  unsigned char trailer[kServerFileCrcSize];
  PutLe32(trailer, ~crc);
  return file.Write(trailer, sizeof trailer);
}

int VerifyServerFile(const std::string& path) {
  platform::File file;
  if (!OpenForReading(file, path)) return kServerFileDamaged;
  const long long size = file.Size();
  if (size <= static_cast<long long>(kServerFileCrcSize)) return kServerFileDamaged;
  const long long covered = size - static_cast<long long>(kServerFileCrcSize);

  uint32_t crc = 0xFFFFFFFF;
  unsigned char block[kCrcBlockSize];
  long long total = 0;
  for (;;) {
    long long got = file.Read(block, sizeof block);
    if (got < 0) return kServerFileDamaged;
    total += got;
    long long use = total > covered ? got - (total - covered) : got;
    UpdateCrc32(block, static_cast<unsigned>(use), crc);
    if (total >= covered || static_cast<size_t>(got) < sizeof block) break;
  }
  crc = ~crc;

  unsigned char stored[kServerFileCrcSize];
  if (!file.SeekFromEnd(-static_cast<long long>(kServerFileCrcSize)) ||
      file.Read(stored, sizeof stored) != static_cast<long long>(sizeof stored)) {
    return kServerFileDamaged;
  }
  return GetLe32(stored) == crc ? kServerFileUsable : kServerFileDamaged;
}

bool ServerFileExists(const std::string& path) { return !path.empty() && platform::IsExistingFile(path); }

bool ReadServerEntryTexts(const std::string& path, std::vector<std::string>& texts) {
  texts.clear();
  platform::File file;
  if (!OpenForReading(file, path)) return false;
  unsigned char header[kServerFileHeaderSize];
  if (file.Read(header, sizeof header) != static_cast<long long>(sizeof header)) return false;
  const uint32_t count = GetLe32(header + 4);
  const unsigned long long expected =
      kServerFileHeaderSize + kServerFileRecordSize * static_cast<unsigned long long>(count) + kServerFileCrcSize;
  if (file.Size() < 0 || static_cast<unsigned long long>(file.Size()) != expected) return false;

  std::vector<std::string> read;
  read.reserve(count);
  unsigned char record[kServerFileRecordSize];
  char address[kServerFieldMaxBytes + 1];
  char remark[kServerFieldMaxBytes + 1];
  char text[kServerEntryTextSize];
  for (uint32_t n = 1; n <= count; ++n) {
    if (file.Read(record, sizeof record) != static_cast<long long>(sizeof record)) return false;
    FieldText(record, address);
    FieldText(record + kServerFileFieldSize, remark);
    FormatServerEntry(text, n, count, address, remark);
    read.emplace_back(text);
  }
  texts = std::move(read);
  return true;
}

bool SaveServerFile(const std::string& path, const std::vector<ServerRow>& rows, int* error) {
  auto fail = [error](int code) {
    if (error) *error = code != 0 ? code : platform::kErrorIo;
    return false;
  };
  if (path.empty()) return fail(platform::kErrorNameTooLong);
  if (rows.size() > UINT32_MAX) return fail(platform::kErrorFileTooLarge);

  platform::ReplacingFile out(path);
  if (!out.Open()) return fail(out.LastError());
  platform::File& file = out.file();

  unsigned char header[kServerFileHeaderSize];
  PutLe32(header, kServerFileMagic);
  PutLe32(header + 4, static_cast<uint32_t>(rows.size()));
  if (!file.Write(header, sizeof header)) return fail(out.LastError());

  for (const ServerRow& row : rows) {
    // The bytes after each terminator are zero.
    unsigned char record[kServerFileRecordSize] = {};
    PutField(record, row.address);
    PutField(record + kServerFileFieldSize, row.remark);
    if (!file.Write(record, sizeof record)) return fail(out.LastError());
  }
  if (!AppendServerFileCrc(file) || !out.Commit()) return fail(out.LastError());
  return true;
}
