// Files: an RAII handle with the open modes, reads, writes, positioning and
// size query the program uses, and a replacing writer that never leaves a
// partial file where the old one stood.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

class File {
 public:
  enum class Mode {
    kReadWriteExisting,  // open an existing file for reading and writing
    kReadExisting,       // open an existing file for reading only
  };

  File() = default;
  ~File();
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  bool Open(const std::string& path, Mode mode);
  bool IsOpen() const { return fd_ >= 0; }
  void Close();

  // Bytes read (0 at the end), or -1 on error. Reads until count or the end.
  long long Read(void* buffer, size_t count);
  // True when every byte was written.
  bool Write(const void* data, size_t count);
  bool Seek(long long offset);      // from the start
  bool SeekFromEnd(long long offset);  // offset <= 0
  long long Size() const;           // -1 on error
  bool Flush();                     // to the disk
  int LastError() const { return error_; }

 private:
  friend class ReplacingFile;
  int fd_ = -1;
  int error_ = 0;
};

// Writes the new content of a file into a temporary file in the same
// directory; Commit flushes it to disk and renames it over the target.
// Destroyed without a successful Commit, it removes the temporary file and
// the target stays as it was.
class ReplacingFile {
 public:
  explicit ReplacingFile(std::string target);
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // Fails (EISDIR, EPERM) when the target exists but is not a regular file.
  bool Open();
  // The temporary file, open for reading and writing.
  File& file() { return file_; }
  bool Commit();
  int LastError() const { return error_ ? error_ : file_.LastError(); }

 private:
  std::string target_;
  std::string temp_;
  File file_;
  int error_ = 0;
  bool committed_ = false;
};

// True when path names an existing entry that is not a directory.
bool IsExistingFile(const std::string& path);

// Text of an errno value, for messages.
std::string ErrorText(int error);

}  // namespace platform
