#include "replay/field_file.h"

namespace kreplay {
namespace {

[[noreturn]] void refuse(const std::string &path, const std::string &why) {
  throw FieldFileError("'" + path + "': " + why);
}

// The opener's reason without the file's name, which refuse() gives.
std::string reason(const std::string &path) {
  const std::string &error = ksim::last_file_error();
  if (error.empty()) return "cannot be read: no such file";
  return error.rfind(path + ": ", 0) == 0 ? error.substr(path.size() + 2) : error;
}

}  // namespace

FieldFile::FieldFile(const std::string &path) : path_(path), file_(path, ksim::Whose::anyone) {
  if (!file_.open()) refuse(path, reason(path));
}

FieldFile::~FieldFile() = default;

FieldFile::int_type FieldFile::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  const std::int64_t got = file_.read(buffer_, sizeof buffer_);
  if (got < 0) refuse(path_, "read error: " + reason(path_));
  if (got == 0) return traits_type::eof();
  setg(buffer_, buffer_, buffer_ + got);
  return traits_type::to_int_type(*gptr());
}

std::string read_field_file(const std::string &path, std::size_t limit) {
  FieldFile file(path);
  std::string contents;
  char chunk[1 << 16];
  for (std::streamsize got; (got = file.sgetn(chunk, sizeof chunk)) > 0;) {
    if (contents.size() + static_cast<std::size_t>(got) > limit)
      refuse(path, "larger than " + std::to_string(limit >> 20) + " MiB: not a script or trace");
    contents.append(chunk, static_cast<std::size_t>(got));
  }
  return contents;
}

}  // namespace kreplay
