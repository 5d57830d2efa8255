// Files: an RAII handle with the open modes, reads, writes, positioning and
// size query the program uses, and a replacing writer that never leaves a
// partial file where the old one stood.
//
// A path is the file name's bytes as the system gives them on Linux, and
// UTF-8 on Windows (where the command line arrives so, and the wide calls
// take any name whatever the code page). It is not program text: it is
// converted to GBK only to be shown.
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
#ifdef _WIN32
  bool IsOpen() const { return handle_ != nullptr; }
#else
  bool IsOpen() const { return fd_ >= 0; }
#endif
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
#ifdef _WIN32
  void* handle_ = nullptr;  // a HANDLE; null while closed
#else
  int fd_ = -1;
#endif
  int error_ = 0;
};

// Writes the new content of a file into a new file in the same directory
// that has no name until Commit flushes it to disk and puts it in place of
// the target, so that neither a failure nor a killed process leaves a
// partial file or any other debris behind. The new file takes the old one's
// permission bits (and owner and group where the process may set them); a
// new target gets those of any new file. A target that is a symbolic link
// has the file it names replaced. On Windows the new file is a hidden one
// beside the target, marked to be deleted with its last handle until the
// commit, so that it goes with its writer however that ends, and the
// system's replacement keeps the old file's attributes and access rules.
class ReplacingFile {
 public:
  explicit ReplacingFile(std::string target);
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // Fails when the target exists but is not a regular file (EISDIR, EPERM),
  // or is one that the process may not write (EACCES, EROFS; on Windows also
  // one marked read-only): such a file is never replaced behind its
  // permissions.
  bool Open();
  // The new file, open for reading and writing.
  File& file() { return file_; }
  bool Commit();
  int LastError() const { return error_ ? error_ : file_.LastError(); }

 private:
  bool Fail(int error);

  std::string target_;   // as given
#ifdef _WIN32
  std::wstring wideTarget_;
  std::wstring temporary_;  // the new file's name, while it has one
  unsigned long attributes_ = 0;  // the old file's, for the new one; 0: no old file
  bool deleteOnClose_ = false;    // the new file goes when its handle closes
#else
  bool LinkAs(const std::string& name);

  std::string real_;     // the file that is replaced: target_ with links followed
  std::string dir_;      // real_'s directory, ending in '/'
  std::string named_;    // a temporary name the new file has, while it has one
  bool unnamed_ = false;  // made with O_TMPFILE
#endif
  File file_;
  int error_ = 0;
  bool committed_ = false;
};

// path with symbolic links followed when it is one; path itself when it is
// none or does not exist; empty (errno set) for a link that leads nowhere.
// On Windows always path itself.
std::string FollowLinks(const std::string& path);

// True when path names an existing entry that is not a directory.
bool IsExistingFile(const std::string& path);

// Text of an error code (errno, or the system's own code on Windows), in
// UTF-8 for the command line's messages, which name files beside it.
std::string ErrorText(int error);

}  // namespace platform
