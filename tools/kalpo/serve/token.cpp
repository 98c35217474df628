// The service's token: from KALPO_SERVE_TOKEN, else from the token file in
// the user's KALPO folder (~/.kalpo/serve-token; on Windows
// %APPDATA%\kalpo\serve-token), made with a random token when absent.
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
// windows.h first: bcrypt.h needs its types.
#include <bcrypt.h>
#else
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

#include "serve/service.h"

namespace kt::serve {
namespace {

constexpr std::size_t kRandomBytes = 32;
constexpr std::size_t kLongestToken = 512;

constexpr const char *kHowToMake =
    "a token is 22 to 512 letters, digits and -._~+/= (32 or more when hex digits); make one with: head -c 16 "
    "/dev/urandom | od -An -tx1 | tr -d "
    "' \\n'";

// Characters that pass unchanged in a header and an address.
bool valid_token(std::string_view token) {
  if (token.size() < kShortestToken || token.size() > kLongestToken) return false;
  for (char c : token)
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
          std::string_view("-._~+/=").find(c) != std::string_view::npos))
      return false;
  return true;
}

std::string hex(const unsigned char *bytes, std::size_t size) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  for (std::size_t i = 0; i < size; ++i) out += kDigits[bytes[i] >> 4], out += kDigits[bytes[i] & 15];
  return out;
}

std::string read_token(const std::string &text, const std::string &path) {
  std::string token = text.substr(0, text.find_first_of("\r\n"));
  const std::string_view rest = std::string_view(text).substr(token.size());
  if (rest != "" && rest != "\n" && rest != "\r\n")
    throw std::runtime_error(path + " holds more than one line: a token file is the token on one line (" + kHowToMake +
                             ")");
  if (const std::string why = weak_token(token); !why.empty())
    throw std::runtime_error(path + ": the token " + why + ": remove it for a new one, or write another (" +
                             kHowToMake + ")");
  if (!valid_token(token))
    throw std::runtime_error(path + " does not hold a token (" + kHowToMake + "): remove it for a new one");
  return token;
}

#if defined(_WIN32)

std::string random_bytes_hex(std::size_t size) {
  std::vector<unsigned char> bytes(size);
  if (BCryptGenRandom(nullptr, bytes.data(), static_cast<ULONG>(size), BCRYPT_USE_SYSTEM_PREFERRED_RNG) != 0)
    throw std::runtime_error("the system's random source failed");
  return hex(bytes.data(), size);
}

// %APPDATA% is the user's own: Windows lets no other user read it.
std::string token_path() {
  const char *appdata = std::getenv("APPDATA");
  if (!appdata || !*appdata) throw std::runtime_error("APPDATA is not set: set KALPO_SERVE_TOKEN instead");
  const std::string folder = std::string(appdata) + "\\kalpo";
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder + "\\serve-token";
}

std::string file_token(const std::string &path) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    // A link or junction is opened as itself, and refused.
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      BY_HANDLE_FILE_INFORMATION info{};
      if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info) ||
          (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        CloseHandle(file);
        throw std::runtime_error(path + " is not a regular file (a link, a folder or a device): remove it");
      }
      char text[kLongestToken + 2];
      DWORD got = 0;
      const BOOL read = ReadFile(file, text, sizeof text, &got, nullptr);
      CloseHandle(file);
      if (!read) throw std::runtime_error("cannot read " + path);
      return read_token(std::string(text, got), path);
    }
    file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      if (GetLastError() == ERROR_FILE_EXISTS) continue;  // made by another service just now
      throw std::runtime_error("cannot create " + path);
    }
    const std::string token = random_hex(kRandomBytes);
    const std::string line = token + "\n";
    DWORD written = 0;
    const BOOL ok = WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != line.size()) throw std::runtime_error("cannot write " + path);
    return token;
  }
  throw std::runtime_error("cannot read " + path);
}

#else

std::string random_bytes_hex(std::size_t size) {
  std::vector<unsigned char> bytes(size);
  std::size_t got = 0;
  while (got < size) {
    const ssize_t n = getrandom(bytes.data() + got, size - got, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw std::runtime_error("the system's random source failed");
    got += static_cast<std::size_t>(n);
  }
  return hex(bytes.data(), size);
}

// What a file that is not a regular file is, for the message that refuses it.
std::string kind_of(mode_t mode) {
  if (S_ISLNK(mode)) return "a link (not followed)";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISSOCK(mode)) return "a socket";
  if (S_ISDIR(mode)) return "a folder";
  return "not a regular file";
}

// A folder or file of the user's own that no one else may change (nor
// read, for the token itself); std::runtime_error with the true reason.
void check_own(const struct stat &info, const std::string &path, bool secret) {
  if (info.st_uid != ::getuid())
    throw std::runtime_error(path + " is owned by another user: remove it, or set KALPO_SERVE_TOKEN");
  if ((info.st_mode & 022) != 0)
    throw std::runtime_error(path + " may be written by other users: chmod go-w it, or remove it");
  if (secret && (info.st_mode & 044) != 0)
    throw std::runtime_error(path + " may be read by other users: chmod 600 it, or remove it for a new token");
}

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd &) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// ~/.kalpo, made owner-only when absent, opened without following a link.
int open_folder(const std::string &folder) {
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) throw std::runtime_error("cannot create " + folder);
  struct stat info {};
  if (::lstat(folder.c_str(), &info) != 0) throw std::runtime_error("cannot read " + folder);
  if (!S_ISDIR(info.st_mode))
    throw std::runtime_error(folder + " is " + kind_of(info.st_mode) + ", not a folder: remove it");
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) throw std::runtime_error("cannot open " + folder + " (a link is not followed)");
  if (::fstat(fd, &info) != 0) {
    ::close(fd);
    throw std::runtime_error("cannot read " + folder);
  }
  try {
    check_own(info, folder, false);
  } catch (...) {
    ::close(fd);
    throw;
  }
  return fd;
}

std::string read_own_file(int folder, const std::string &path) {
  constexpr const char *kName = "serve-token";
  struct stat info {};
  if (::fstatat(folder, kName, &info, AT_SYMLINK_NOFOLLOW) != 0) throw std::runtime_error("cannot read " + path);
  if (!S_ISREG(info.st_mode)) throw std::runtime_error(path + " is " + kind_of(info.st_mode) + ": remove it");
  // Without blocking: a FIFO put in its place since is refused, not waited on.
  const Fd fd(::openat(folder, kName, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (fd.get() < 0) throw std::runtime_error("cannot open " + path + " (a link is not followed)");
  if (::fstat(fd.get(), &info) != 0) throw std::runtime_error("cannot read " + path);
  if (!S_ISREG(info.st_mode)) throw std::runtime_error(path + " is " + kind_of(info.st_mode) + ": remove it");
  check_own(info, path, true);
  char text[kLongestToken + 2];
  const ssize_t got = ::read(fd.get(), text, sizeof text);
  if (got < 0) throw std::runtime_error("cannot read " + path);
  return read_token(std::string(text, static_cast<std::size_t>(got)), path);
}

std::string file_token() {
  const char *home = std::getenv("HOME");
  if (!home || !*home) throw std::runtime_error("HOME is not set: set KALPO_SERVE_TOKEN instead");
  const std::string folder_path = std::string(home) + "/.kalpo";
  const std::string path = folder_path + "/serve-token";
  const Fd folder(open_folder(folder_path));
  for (int attempt = 0; attempt < 2; ++attempt) {
    struct stat info {};
    if (::fstatat(folder.get(), "serve-token", &info, AT_SYMLINK_NOFOLLOW) == 0)
      return read_own_file(folder.get(), path);
    if (errno != ENOENT) throw std::runtime_error("cannot read " + path);
    const Fd fd(::openat(folder.get(), "serve-token", O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (fd.get() < 0) {
      if (errno == EEXIST) continue;  // made by another service just now
      throw std::runtime_error("cannot create " + path);
    }
    const std::string token = random_hex(kRandomBytes);
    const std::string line = token + "\n";
    if (::write(fd.get(), line.data(), line.size()) != static_cast<ssize_t>(line.size()) || ::fsync(fd.get()) != 0)
      throw std::runtime_error("cannot write " + path);
    return token;
  }
  throw std::runtime_error("cannot read " + path);
}

#endif

}  // namespace

std::string random_hex(std::size_t bytes) { return random_bytes_hex(bytes); }

Token service_token() {
  if (const char *given = std::getenv("KALPO_SERVE_TOKEN"); given && *given) {
    if (const std::string why = weak_token(given); !why.empty())
      throw std::runtime_error("KALPO_SERVE_TOKEN " + why + " (" + kHowToMake + ")");
    if (!valid_token(given)) throw std::runtime_error(std::string("KALPO_SERVE_TOKEN: ") + kHowToMake);
    return {given, "KALPO_SERVE_TOKEN"};
  }
#if defined(_WIN32)
  const std::string path = token_path();
  return {file_token(path), path};
#else
  return {file_token(), std::string(std::getenv("HOME")) + "/.kalpo/serve-token"};
#endif
}

}  // namespace kt::serve
