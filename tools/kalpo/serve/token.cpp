// The service's token: from KALPO_SERVE_TOKEN, else from the token file in
// the user's KALPO folder (~/.kalpo/serve-token; on Windows
// %APPDATA%\kalpo\serve-token), made with a random token when absent.
#include <cstdlib>
#include <stdexcept>
#include <string>

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

// Characters that pass unchanged in a header and a cookie.
bool valid_token(std::string_view token) {
  if (token.empty() || token.size() > kLongestToken) return false;
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
  if (!valid_token(token))
    throw std::runtime_error(path +
                             " does not hold a token (letters, digits and -._~+/= only): remove it for a new one");
  return token;
}

#if defined(_WIN32)

std::string random_token() {
  unsigned char bytes[kRandomBytes];
  if (BCryptGenRandom(nullptr, bytes, sizeof bytes, BCRYPT_USE_SYSTEM_PREFERRED_RNG) != 0)
    throw std::runtime_error("the system's random source failed");
  return hex(bytes, sizeof bytes);
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
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
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
    const std::string token = random_token();
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

std::string random_token() {
  unsigned char bytes[kRandomBytes];
  std::size_t got = 0;
  while (got < sizeof bytes) {
    const ssize_t n = getrandom(bytes + got, sizeof bytes - got, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw std::runtime_error("the system's random source failed");
    got += static_cast<std::size_t>(n);
  }
  return hex(bytes, sizeof bytes);
}

std::string token_path() {
  const char *home = std::getenv("HOME");
  if (!home || !*home) throw std::runtime_error("HOME is not set: set KALPO_SERVE_TOKEN instead");
  const std::string folder = std::string(home) + "/.kalpo";
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) throw std::runtime_error("cannot create " + folder);
  return folder + "/serve-token";
}

// An existing file must be the owner's alone: a token others can read is
// no token.
std::string read_own_file(int fd, const std::string &path) {
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) throw std::runtime_error(path + " is not a regular file");
  if (info.st_uid != ::getuid() || (info.st_mode & 077) != 0)
    throw std::runtime_error(path + " may be read by other users: chmod 600 it, or remove it for a new token");
  char text[kLongestToken + 2];
  const ssize_t got = ::read(fd, text, sizeof text);
  if (got < 0) throw std::runtime_error("cannot read " + path);
  return read_token(std::string(text, static_cast<std::size_t>(got)), path);
}

std::string file_token(const std::string &path) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) {
      try {
        std::string token = read_own_file(fd, path);
        ::close(fd);
        return token;
      } catch (...) {
        ::close(fd);
        throw;
      }
    }
    if (errno != ENOENT) throw std::runtime_error("cannot open " + path + " (a link is not followed)");
    fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;  // made by another service just now
      throw std::runtime_error("cannot create " + path);
    }
    const std::string token = random_token();
    const std::string line = token + "\n";
    const bool ok = ::write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size()) && ::fsync(fd) == 0;
    ::close(fd);
    if (!ok) throw std::runtime_error("cannot write " + path);
    return token;
  }
  throw std::runtime_error("cannot read " + path);
}

#endif

}  // namespace

Token service_token() {
  if (const char *given = std::getenv("KALPO_SERVE_TOKEN"); given && *given) {
    if (!valid_token(given))
      throw std::runtime_error("KALPO_SERVE_TOKEN: up to 512 letters, digits and -._~+/= are a token");
    return {given, "KALPO_SERVE_TOKEN"};
  }
  const std::string path = token_path();
  return {file_token(path), path};
}

}  // namespace kt::serve
