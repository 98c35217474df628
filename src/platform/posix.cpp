// The platform layer on POSIX systems.  Windows paths map under a drive-C
// folder ($KALPO_DRIVE_C, by default ~/.kalpo/drive_c), each component matched
// without regard to case.  Without a home folder there is no drive C: no
// configuration file, marker or report file is found or written.  Regional settings come from the locale that the
// environment names, read without touching the host program's own locale.
#include <langinfo.h>
#include <locale.h>
#include <pwd.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>

#include "frame/ascii.h"
#include "frame/text.h"
#include "platform/platform.h"
#include "platform/posix.h"
#include "platform/profile.h"

namespace fs = std::filesystem;

namespace kalpo::platform {
namespace {

// The home folder of the user the process runs as, from the user database.
const char *user_database_home() {
  const passwd *entry = getpwuid(getuid());
  return entry ? entry->pw_dir : nullptr;
}

std::optional<fs::path> drive_c_root() {
  return choose_drive_c_root(std::getenv("KALPO_DRIVE_C"), std::getenv("HOME"), user_database_home());
}

// Maps a Windows path to the drive-C folder, reusing existing components whose
// names differ only in case; nothing without a drive-C folder.
std::optional<fs::path> map_path(std::string_view windows_path) {
  std::optional<fs::path> root = drive_c_root();
  if (!root) return std::nullopt;
  std::string_view rest = windows_path;
  if (rest.size() >= 2 && rest[1] == ':') rest.remove_prefix(2);
  fs::path path = *root;
  std::size_t pos = 0;
  while (pos <= rest.size()) {
    std::size_t end = rest.find_first_of("\\/", pos);
    if (end == std::string_view::npos) end = rest.size();
    std::string part(rest.substr(pos, end - pos));
    pos = end + 1;
    if (part.empty() || part == ".") continue;
    std::error_code ec;
    fs::path chosen = path / part;
    if (!fs::exists(chosen, ec) && fs::is_directory(path, ec)) {
      for (const auto &entry : fs::directory_iterator(path, ec)) {
        if (ascii::iequals(entry.path().filename().string(), part)) {
          chosen = entry.path();
          break;
        }
      }
    }
    path = chosen;
  }
  return path;
}

std::string locale_name(const char *category) {
  for (const char *name : {"LC_ALL", category, "LANG"}) {
    if (const char *value = std::getenv(name); value && *value) return value;
  }
  return "C";
}

// Reads one item of the named locale without changing the process locale.
std::string langinfo(const char *category, int mask, nl_item item, const char *fallback) {
  locale_t loc = newlocale(mask, locale_name(category).c_str(), static_cast<locale_t>(0));
  if (loc == static_cast<locale_t>(0)) loc = newlocale(mask, "C", static_cast<locale_t>(0));
  if (loc == static_cast<locale_t>(0)) return fallback;
  std::string value = nl_langinfo_l(item, loc);
  freelocale(loc);
  return value;
}

// Turns a strftime date format ("%d/%m/%Y") into a Windows date picture.
std::string date_picture(std::string_view format) {
  std::string out;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%' || i + 1 == format.size()) {
      out += format[i];
      continue;
    }
    char c = format[++i];
    if (c == 'E' || c == 'O' || c == '-') {
      if (i + 1 == format.size()) break;
      c = format[++i];
    }
    std::string_view piece;
    switch (c) {
      case 'd': piece = "dd"; break;
      case 'e': piece = "d"; break;
      case 'm': piece = "MM"; break;
      case 'Y': piece = "yyyy"; break;
      case 'y': piece = "yy"; break;
      case 'D': piece = "MM/dd/yy"; break;
      case 'F': piece = "yyyy-MM-dd"; break;
      default: piece = std::string_view(&format[i], 1); break;
    }
    out.append(piece);
  }
  return out;
}

class PosixPlatform final : public Platform {
 public:
  std::string profile_string(std::string_view file, std::string_view section, std::string_view key,
                             std::string_view fallback) override {
    std::string contents;
    std::string value;
    if (read_file(file, contents) && ini_lookup(contents, section, key, value)) return value;
    return std::string(fallback);
  }

  DateTime now() override {
    time_t t = time(nullptr);
    struct tm tm {};
    localtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
  }

  Regional regional() override {
    Regional r;
    r.decimal = text::from_utf8(langinfo("LC_NUMERIC", LC_NUMERIC_MASK, RADIXCHAR, "."));
    r.thousands = text::from_utf8(langinfo("LC_NUMERIC", LC_NUMERIC_MASK, THOUSEP, ""));
    if (r.decimal.empty()) r.decimal.push_back('.');
    r.short_date = date_picture(langinfo("LC_TIME", LC_TIME_MASK, D_FMT, "%m/%d/%y"));
    return r;
  }

  int32_t show_message(int32_t form, std::string_view text, const char *caption, uint32_t flags) override {
    std::string line = "KALPO";
    if (caption && *caption) line += " [" + text::to_utf8(caption) + "]";
    line += ": " + text::to_utf8(text) + "\n";
    std::fputs(line.c_str(), stderr);
    // Without an operator a confirmation is answered No.
    return form == 1 && (flags & 0x0F) == 0x04 ? 7 : 1;
  }

  void release_input_block() override {}

  bool file_exists(std::string_view path) override {
    std::optional<fs::path> file = map_path(path);
    std::error_code ec;
    return file && fs::is_regular_file(*file, ec);
  }

  bool remove_file(std::string_view path) override {
    std::optional<fs::path> file = map_path(path);
    std::error_code ec;
    return file && fs::remove(*file, ec);
  }

  bool read_file(std::string_view path, std::string &contents) override {
    std::optional<fs::path> file = map_path(path);
    if (!file) return false;
    std::ifstream in(*file, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) return false;
    contents = buffer.str();
    return true;
  }

  bool create_directories(std::string_view path) override {
    std::optional<fs::path> folder = map_path(path);
    if (!folder) return false;
    std::error_code ec;
    fs::create_directories(*folder, ec);
    return !ec;
  }

  int64_t file_size(std::string_view path) override {
    std::optional<fs::path> file = map_path(path);
    if (!file) return -1;
    std::error_code ec;
    auto size = fs::file_size(*file, ec);
    return ec ? -1 : static_cast<int64_t>(size);
  }

  void sleep_ms(uint32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

  uint64_t ticks_ms() override {
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
  }
};

}  // namespace

std::optional<std::filesystem::path> choose_drive_c_root(const char *drive_c, const char *home, const char *user_home) {
  if (drive_c && *drive_c) return fs::path(drive_c);
  for (const char *folder : {home, user_home}) {
    if (folder && *folder) return fs::path(folder) / ".kalpo" / "drive_c";
  }
  return std::nullopt;
}

Platform &real() {
  static PosixPlatform platform;
  return platform;
}

std::string posix_path(std::string_view windows_path) {
  std::optional<fs::path> path = map_path(windows_path);
  return path ? path->string() : std::string();
}

}  // namespace kalpo::platform
