// A file from the field: a trace from a store, a session script, any file the
// tool is handed, whoever owns it.  It is opened by the safe opener (no link
// followed, never waited on, a regular file), and a read error is an error,
// never the end of the file: a folder, a FIFO, a device or a link is refused
// by name before a byte is read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <streambuf>
#include <string>

#include "core/safe_file.h"

namespace kreplay {

// Names the file and what is wrong with it.
struct FieldFileError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class FieldFile : public std::streambuf {
 public:
  // FieldFileError when the file cannot be opened or is not a regular file.
  explicit FieldFile(const std::string &path);
  ~FieldFile() override;
  FieldFile(const FieldFile &) = delete;
  FieldFile &operator=(const FieldFile &) = delete;

  const std::string &path() const { return path_; }

 protected:
  // FieldFileError on a read error.
  int_type underflow() override;

 private:
  std::string path_;
  ksim::SafeFile file_;
  char buffer_[1 << 16];
};

// The whole file, refused past `limit` bytes (never read beyond it).
std::string read_field_file(const std::string &path, std::size_t limit);

}  // namespace kreplay
