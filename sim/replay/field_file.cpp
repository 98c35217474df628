#include "replay/field_file.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace kreplay {
namespace {

[[noreturn]] void refuse(const std::string &path, const std::string &why) {
  throw FieldFileError("'" + path + "': " + why);
}

#if defined(_WIN32)
std::string system_error(DWORD code) {
  char text[256] = {};
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text, sizeof text,
                 nullptr);
  std::string out = text;
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == '.')) out.pop_back();
  return out.empty() ? "error " + std::to_string(code) : out;
}

std::intptr_t open_field(const std::string &path) {
  // A reparse point (a link) is opened as itself, never followed.
  const HANDLE file =
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) refuse(path, "cannot be read: " + system_error(GetLastError()));
  BY_HANDLE_FILE_INFORMATION info{};
  const char *odd = nullptr;
  if (GetFileType(file) != FILE_TYPE_DISK)
    odd = "not a regular file (a pipe or device)";
  else if (!GetFileInformationByHandle(file, &info))
    odd = "cannot be examined";
  else if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
    odd = "a folder, not a file";
  else if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
    odd = "a link, not a file";
  if (odd) {
    CloseHandle(file);
    refuse(path, odd);
  }
  return reinterpret_cast<std::intptr_t>(file);
}

void close_field(std::intptr_t handle) { CloseHandle(reinterpret_cast<HANDLE>(handle)); }

std::size_t read_field(std::intptr_t handle, const std::string &path, char *into, std::size_t size) {
  DWORD got = 0;
  if (!ReadFile(reinterpret_cast<HANDLE>(handle), into, static_cast<DWORD>(size), &got, nullptr))
    refuse(path, "read error: " + system_error(GetLastError()));
  return got;
}
#else
const char *kind_of(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder, not a file";
  if (S_ISFIFO(mode)) return "a FIFO, not a file";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device, not a file";
  if (S_ISSOCK(mode)) return "a socket, not a file";
  return "not a regular file";
}

std::intptr_t open_field(const std::string &path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    const int error = errno;
    if (error == ELOOP) refuse(path, "a link, not a file (links are not followed)");
    if (error == ENXIO) refuse(path, "a FIFO or device, not a file");
    refuse(path, std::string("cannot be read: ") + std::strerror(error));
  }
  struct stat st {};
  const bool examined = ::fstat(fd, &st) == 0;
  if (!examined || !S_ISREG(st.st_mode)) {
    ::close(fd);
    refuse(path, examined ? kind_of(st.st_mode) : "cannot be examined");
  }
  return fd;
}

void close_field(std::intptr_t handle) { ::close(static_cast<int>(handle)); }

std::size_t read_field(std::intptr_t handle, const std::string &path, char *into, std::size_t size) {
  for (;;) {
    const ssize_t got = ::read(static_cast<int>(handle), into, size);
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR) refuse(path, std::string("read error: ") + std::strerror(errno));
  }
}
#endif

}  // namespace

FieldFile::FieldFile(const std::string &path) : path_(path), handle_(open_field(path)) {}

FieldFile::~FieldFile() { close_field(handle_); }

FieldFile::int_type FieldFile::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  const std::size_t got = read_field(handle_, path_, buffer_, sizeof buffer_);
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
