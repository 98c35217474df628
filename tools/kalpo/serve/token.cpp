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
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

#include "core/safe_file.h"
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

// What stands where the token's folder should be, for the message that refuses it.
std::string kind_of(mode_t mode) {
  if (S_ISLNK(mode)) return "a link (not followed)";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISSOCK(mode)) return "a socket";
  if (S_ISDIR(mode)) return "a folder";
  return "not a regular file";
}

// A folder of the user's own that no one else may change; std::runtime_error
// with the true reason.
void check_own(const struct stat &info, const std::string &path) {
  if (info.st_uid != ::getuid())
    throw std::runtime_error(path + " is owned by another user: remove it, or set KALPO_SERVE_TOKEN");
  if ((info.st_mode & 022) != 0)
    throw std::runtime_error(path + " may be written by other users: chmod go-w it, or remove it");
}

// ~/.kalpo/serve-token; the folder made owner-only when absent, and refused
// when a link or not the user's alone.
std::string token_path() {
  const char *home = std::getenv("HOME");
  if (!home || !*home) throw std::runtime_error("HOME is not set: set KALPO_SERVE_TOKEN instead");
  const std::string folder = std::string(home) + "/.kalpo";
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) throw std::runtime_error("cannot create " + folder);
  struct stat info {};
  if (::lstat(folder.c_str(), &info) != 0) throw std::runtime_error("cannot read " + folder);
  if (!S_ISDIR(info.st_mode))
    throw std::runtime_error(folder + " is " + kind_of(info.st_mode) + ", not a folder: remove it");
  check_own(info, folder);
  return folder + "/serve-token";
}

#endif

// The token of the file at `path`, which is made with a random token when
// absent.  Through the safe opener: the user's own, readable by no other.
std::string file_token(const std::string &path) {
  for (int attempt = 0; attempt < 2; ++attempt) {
    std::string text;
    if (ksim::read_whole_file(path, ksim::Whose::secret, kLongestToken + 2, text)) return read_token(text, path);
    if (!ksim::last_file_error().empty())
      throw std::runtime_error(ksim::last_file_error() +
                               ": remove it for a new token (chmod 600 keeps it), or set KALPO_SERVE_TOKEN");
    const std::string token = random_hex(kRandomBytes);
    bool exists = false;
    if (ksim::create_own_file(path, token + "\n", exists)) return token;
    if (!exists) throw std::runtime_error("cannot create the token file: " + ksim::last_file_error());
    // made by another service just now: read it
  }
  throw std::runtime_error("cannot read " + path);
}

}  // namespace

std::string random_hex(std::size_t bytes) { return random_bytes_hex(bytes); }

Token service_token() {
  if (const char *given = std::getenv("KALPO_SERVE_TOKEN"); given && *given) {
    if (const std::string why = weak_token(given); !why.empty())
      throw std::runtime_error("KALPO_SERVE_TOKEN " + why + " (" + kHowToMake + ")");
    if (!valid_token(given)) throw std::runtime_error(std::string("KALPO_SERVE_TOKEN: ") + kHowToMake);
    return {given, "KALPO_SERVE_TOKEN"};
  }
  const std::string path = token_path();
  return {file_token(path), path};
}

}  // namespace kt::serve
