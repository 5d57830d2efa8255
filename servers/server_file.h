// Server.dat: the user's server list, beside the executable (or, for a
// Linux program installed where the user may not write, in the user's
// configuration folder; see platform/settings_folder.h).
//
//   offset 0        magic 0xABBC9C8C
//   offset 4        N, the number of records
//   offset 8        N records of 256 bytes: address at 0, remark at 128,
//                   each GBK text with a NUL terminator
//   offset 8+256*N  CRC-32 of everything before it
//
// All integers are 32-bit little-endian. Only the CRC decides whether a file
// is used; the magic number is written but never tested.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {
class File;
}

inline constexpr uint32_t kServerFileMagic = 0xABBC9C8C;
inline constexpr size_t kServerFileHeaderSize = 8;
inline constexpr size_t kServerFileRecordSize = 256;
inline constexpr size_t kServerFileFieldSize = 128;
inline constexpr size_t kServerFileCrcSize = 4;
// The path is built into a buffer of this size, terminator included.
inline constexpr size_t kServerFilePathSize = 260;

// Results of VerifyServerFile.
inline constexpr int kServerFileUsable = 0;
inline constexpr int kServerFileDamaged = 3;

// One server as the editor holds it: address and remark, GBK.
struct ServerRow {
  std::string address;
  std::string remark;
};

// exeDir followed by "Server.dat"; empty when that does not fit in
// kServerFilePathSize bytes. An empty path names no file: reading it gives
// the built-in list and saving to it fails.
std::string ServerFilePath(const std::string& exeDir);

// Where the program reads and saves the list.
struct ServerListFile {
  std::string path;      // read and saved; empty when too long (as ServerFilePath)
  std::string fallback;  // read instead while no file is at path; empty for none
  std::string folder;    // made before a save when the list is not beside the executable
  bool noHome = false;   // beside an executable the user may not write, for want of a home folder
};

// The list of a program in exeDir: Server.dat beside it, or the user's own
// with the one beside it as the fallback.
ServerListFile LocateServerList(const std::string& exeDir);

// The list named on a command line: that file alone.
ServerListFile ServerListAt(const std::string& path);

// The file the list is read from: path while a file is there, else the
// fallback.
std::string ServerListReadPath(const ServerListFile& list);

// Makes the folder the list is saved in where it is the user's own (each
// new folder readable by the user alone). False, *error the errno value,
// when it could not be made.
bool MakeServerListFolder(const ServerListFile& list, int* error);

// Computes the CRC of the whole file from its start and writes it at the end.
// False when a read or the write fails.
bool AppendServerFileCrc(platform::File& file);

// kServerFileUsable when the file is longer than 4 bytes and its last 4
// bytes hold the CRC of the rest; else kServerFileDamaged.
int VerifyServerFile(const std::string& path);

// True when path names an existing file that is not a directory.
bool ServerFileExists(const std::string& path);

// The entry texts of the file's records, in order. Checks no CRC. False
// (and texts empty) when the file cannot be opened or read, or when its size
// is not 12 + 256 * N.
bool ReadServerEntryTexts(const std::string& path, std::vector<std::string>& texts);

// Writes rows as the new file: into a temporary file in the same directory,
// flushed and then renamed over path, so the old file stays whole until the
// new one is complete. Each field is cut to 62 bytes. False on any failure,
// with the old file untouched; *error then holds the errno value. A file the
// user may not write is not replaced (EACCES). A caller that changes the
// list it read holds a platform::FileUpdateLock on path from the read to the
// save, so that two editors never lose each other's entries.
bool SaveServerFile(const std::string& path, const std::vector<ServerRow>& rows, int* error = nullptr);
