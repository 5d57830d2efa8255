// Server.dat from anywhere: arbitrary bytes are written to a scratch file and
// read the way the main window reads it at start-up and after an edit; the
// list that results is saved and read back as the editor would.
//
// The first input byte is a switch: when odd, the harness puts the right CRC
// into the last four bytes, so that the record reader is reached as often
// as the CRC test.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "servers/crc32.h"
#include "servers/default_servers.h"
#include "servers/server_entry.h"
#include "servers/server_file.h"
#include "servers/server_list.h"

namespace {

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
  }
}

struct ScratchFiles {
  ScratchFiles() {
    // Memory-backed when possible: every save flushes to disk.
    char pattern[] = "/dev/shm/tempiola-fuzz-XXXXXX";
    char fallback[] = "/tmp/tempiola-fuzz-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (made == nullptr) made = mkdtemp(fallback);
    Check(made != nullptr, "scratch directory");
    dir = made;
    input = dir + "/Server.dat";
    copy = dir + "/Copy.dat";
  }
  ~ScratchFiles() {
    ::unlink(input.c_str());
    ::unlink(copy.c_str());
    ::rmdir(dir.c_str());
  }
  std::string dir;
  std::string input;
  std::string copy;
};

const ScratchFiles& Files() {
  static const ScratchFiles files;
  return files;
}

bool IsCleanRow(const ServerRow& row) {
  auto clean = [](const std::string& s, char separator) {
    size_t at = 0;
    size_t last = 0;
    while (at < s.size()) {
      last = at;
      auto c = static_cast<unsigned char>(s[at]);
      if (s[at] == separator) return false;
      at += c >= 0x81 && c <= 0xFE && at + 1 < s.size() ? 2 : 1;
    }
    auto c = s.empty() ? 0 : static_cast<unsigned char>(s[last]);
    return s.size() <= kServerFieldMaxBytes && !(at - last == 1 && c >= 0x81 && c <= 0xFE);
  };
  return clean(row.address, '[') && clean(row.remark, ']');
}

void CheckTexts(const std::vector<std::string>& texts) {
  for (const std::string& text : texts) {
    Check(text.size() < kServerEntryTextSize, "an entry fits its buffer");
    Check(text.find('\0') == std::string::npos, "no NUL inside an entry");
    Check(!text.empty() && text[0] == '#', "an entry starts with its number");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const bool fixCrc = data[0] & 1;
  std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (fixCrc && bytes.size() > 4) {
    uint32_t crc = 0xFFFFFFFF;
    UpdateCrc32(bytes.data(), static_cast<unsigned>(bytes.size() - 4), crc);
    crc = ~crc;
    for (int i = 0; i < 4; ++i) bytes[bytes.size() - 4 + i] = static_cast<char>(crc >> (8 * i));
  }
  size = bytes.size();

  const ScratchFiles& files = Files();
  FILE* f = std::fopen(files.input.c_str(), "wb");
  Check(f != nullptr, "scratch file");
  Check(std::fwrite(bytes.data(), 1, size, f) == size, "scratch write");
  std::fclose(f);

  const std::vector<std::string> defaults(DefaultServerTable, DefaultServerTable + kDefaultServerCount);
  const std::vector<std::string> loaded = LoadServerEntryTexts(files.input);
  CheckTexts(loaded);
  CheckTexts(ReloadServerEntryTexts(files.input));

  std::vector<std::string> fromFile;
  const bool usable = VerifyServerFile(files.input) == kServerFileUsable && ReadServerEntryTexts(files.input, fromFile);
  Check(loaded == (usable ? fromFile : defaults), "the file's list when usable, else the built-in one");
  if (usable) {
    Check(size == 12 + 256 * fromFile.size(), "a used file has 12 + 256 * N bytes");
  }

  // What the editor would save from this list reads back.
  const std::vector<ServerRow> rows = ServerRowsFromEntryTexts(loaded);
  Check(SaveServerFile(files.copy, rows), "saving succeeds");
  Check(VerifyServerFile(files.copy) == kServerFileUsable, "a saved file verifies");
  const std::vector<std::string> again = LoadServerEntryTexts(files.copy);
  Check(again.size() == rows.size(), "every saved row reads back");
  const std::vector<ServerRow> rowsAgain = ServerRowsFromEntryTexts(again);
  for (size_t i = 0; i < rows.size(); ++i) {
    if (!IsCleanRow(rows[i])) continue;
    Check(rows[i].address == rowsAgain[i].address && rows[i].remark == rowsAgain[i].remark, "a clean row is kept");
  }
  return 0;
}
