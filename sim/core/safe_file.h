// The one way the virtual printer, its libraries and the kalpo tool open a
// file outside a printer's folder (a caller's fiscal file or log, the
// service's token and kept answers, a trace or script from the field): never
// through a link, never waited on (a FIFO or a device is refused unread), a
// regular file only and, unless it is anyone's to hand over, the user's own,
// which no other user may write.  A file made is readable and writable by its
// owner alone; a file replaced is replaced whole or not at all.  On Windows a
// link (reparse point), a folder and a device are refused alike; the owner is
// not checked there (the user's profile is the user's alone).
// Each call that fails says why in last_file_error(), empty when the file is
// absent.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ksim {

enum class Whose {
  anyone,  // a file handed to a program (a trace, a script): read whoever owns it
  own,     // the user's own, which no other user may write
  secret,  // the user's own, which no other user may read either
};

// Why the last failed call of this thread failed, naming the file.
const std::string &last_file_error();

// A file open for reading, closed with the object.
class SafeFile {
 public:
  // Not open() when the file cannot be opened or is refused.
  SafeFile(const std::string &path, Whose whose);
  ~SafeFile();
  SafeFile(const SafeFile &) = delete;
  SafeFile &operator=(const SafeFile &) = delete;
  bool open() const { return handle_ != -1; }
  // Up to `size` bytes: the count, 0 at the end, -1 on a read error.
  std::int64_t read(char *into, std::size_t size);

 private:
  std::intptr_t handle_ = -1;
  std::string path_;
};

// The whole file, refused when larger than `limit` bytes.
bool read_whole_file(const std::string &path, Whose whose, std::uint64_t limit, std::string &text);
// Appends `data` in one write to the user's own file, made when absent, and
// flushes it to disk.
bool append_own_file(const std::string &path, std::string_view data);
// Makes a new file holding `data`; false with `exists` when the name is taken.
bool create_own_file(const std::string &path, std::string_view data, bool &exists);
// Writes a file whole or not at all (a partial file beside it, flushed, then
// renamed over it); false when any step fails, the rename included.
bool write_caller_file(const std::string &path, std::string_view data);
// Appends a line to a log; a log that would pass `limit` bytes first becomes
// <path>.1 (replacing the one before) and a new one is begun.
bool append_log_line(const std::string &path, std::string_view line, std::uint64_t limit);

}  // namespace ksim
