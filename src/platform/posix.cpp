// The platform layer on POSIX systems.  Windows paths map under a drive-C
// folder ($KALPO_DRIVE_C, by default ~/.kalpo/drive_c), each component matched
// without regard to case, ".." never above it; a path without a drive letter
// is on drive C, one on another drive names no file.  Without a home folder
// there is no drive C: no configuration file, marker or report file is found
// or written.  Regional settings come from the locale that the environment
// names, read without touching the host program's own locale.
#include <dirent.h>
#include <fcntl.h>
#include <langinfo.h>
#include <locale.h>
#include <pwd.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <thread>
#include <vector>

#include "base/ascii.h"
#include "base/cp1252.h"
#include "base/ini.h"
#include "platform/platform.h"
#include "platform/posix.h"
#include "platform/posix_folders.h"

namespace fs = std::filesystem;

namespace kalpo::platform {
namespace {

// The home folder of the user the process runs as, from the user database.
const char *user_database_home() {
  const passwd *entry = getpwuid(getuid());
  return entry ? entry->pw_dir : nullptr;
}

bool is_set(const char *value) { return value && *value; }

// The user database is asked only when neither variable names a folder.
std::optional<fs::path> drive_c_root() {
  const char *drive_c = std::getenv("KALPO_DRIVE_C");
  const char *home = std::getenv("HOME");
  return choose_drive_c_root(drive_c, home, is_set(drive_c) || is_set(home) ? nullptr : user_database_home());
}

// Appends the drive-C folder to path, $KALPO_DRIVE_C as it is without
// building a path object; false without a drive-C folder.
bool append_drive_c(std::string &path) {
  const char *drive_c = std::getenv("KALPO_DRIVE_C");
  if (is_set(drive_c)) {
    path += drive_c;
    return true;
  }
  std::optional<fs::path> root = drive_c_root();
  if (root) path += root->native();
  return root.has_value();
}

// The part of a Windows path below the root of drive C, as Windows reads it:
// the drive letter in any case; a path without one is on drive C from its
// root (where the process stands).  None for another drive or a network
// path ("\\server\share").
std::optional<std::string_view> on_drive_c(std::string_view path) {
  const auto separator = [](char c) { return c == '\\' || c == '/'; };
  if (path.size() >= 2 && separator(path[0]) && separator(path[1])) return std::nullopt;
  if (path.size() < 2 || path[1] != ':') return path;
  if (path[0] != 'c' && path[0] != 'C') return std::nullopt;
  return path.substr(2);
}

// Calls f with each component of a Windows path, empty ones and "." skipped;
// ".." takes back the component before it and never climbs above the root.
template <typename F>
void for_each_part(std::string_view rest, F &&f) {
  const auto split = [rest](auto &&each) {
    std::size_t pos = 0;
    while (pos <= rest.size()) {
      std::size_t end = rest.find_first_of("\\/", pos);
      if (end == std::string_view::npos) end = rest.size();
      std::string_view part = rest.substr(pos, end - pos);
      pos = end + 1;
      if (!part.empty() && part != ".") each(part);
    }
  };
  if (rest.find("..") == std::string_view::npos) return split(f);
  std::vector<std::string_view> parts;
  split([&](std::string_view part) {
    if (part != "..")
      parts.push_back(part);
    else if (!parts.empty())
      parts.pop_back();
  });
  for (std::string_view part : parts) f(part);
}

// Joins a component to a path text as path::operator/= does: a separator
// unless one already ends the text.
void join(std::string &path, std::string_view part) {
  if (!path.empty() && path.back() != '/') path += '/';
  path += part;
}

// Starts path with the drive-C folder and gives the rest of the Windows path
// after its drive; nothing without a drive-C folder.
std::optional<std::string_view> start_path(std::string &path, std::string_view windows_path) {
  // Room for the usual drive-C folder, so the text is allocated once.
  path.reserve(windows_path.size() + 128);
  const std::optional<std::string_view> rest = on_drive_c(windows_path);
  if (!rest || !append_drive_c(path)) return std::nullopt;
  return rest;
}

// A path under the drive-C folder: found when every component exists; the
// type of its last component as a folder listing gave it (DT_UNKNOWN when
// only its status was asked).
struct Mapped {
  std::string path;
  bool found = false;
  unsigned char type = DT_UNKNOWN;
};

unsigned char type_of(mode_t mode) { return S_ISREG(mode) ? DT_REG : S_ISDIR(mode) ? DT_DIR : DT_UNKNOWN; }

// The path under the drive-C folder as spelt, joined in one text as
// path::operator/= joins (a separator unless one ends the text); nothing
// without a drive-C folder.  missing is set when the folder listings kept in
// memory say that the spelt path does not exist, so that nobody need ask.
std::optional<std::string> spelt_text(std::string_view windows_path, bool &missing) {
  std::optional<std::string> root(std::in_place);
  std::string &path = *root;
  std::optional<std::string_view> rest = start_path(path, windows_path);
  if (!rest) return std::nullopt;
  missing = false;
  for_each_part(*rest, [&](std::string_view part) {
    if (!missing) missing = listed_without(path, part);
    join(path, part);
  });
  return root;
}

// The path found component by component in the folder listings: a component
// spelt as given when it exists, else the first whose name differs only in
// case; from the first missing one on, the components as spelt.  The folder
// of the last component is looked up where it was found before, while it
// exists.
std::optional<Mapped> case_insensitive_path(std::string_view windows_path) {
  std::optional<Mapped> mapped(std::in_place);
  std::string &path = mapped->path;
  std::optional<std::string_view> rest = start_path(path, windows_path);
  if (!rest) return std::nullopt;
  std::string_view last;
  for_each_part(*rest, [&](std::string_view part) { last = part; });
  mapped->found = true;
  if (last.empty()) return mapped;  // the drive-C folder itself
  const std::string_view folders = rest->substr(0, static_cast<std::size_t>(last.data() - rest->data()));
  std::string spelt_folder = path;
  for_each_part(folders, [&](std::string_view part) { join(spelt_folder, part); });
  auto step = [&](const FolderLookup &in, std::string_view part) {
    mapped->found = in.entry != nullptr;
    mapped->type = in.entry ? in.entry->type : static_cast<unsigned char>(DT_UNKNOWN);
    join(path, in.entry ? std::string_view(in.entry->name) : part);
  };
  if (const std::string *known = found_as(spelt_folder)) {
    FolderLookup in = find_in_folder(*known, last);
    if (in.folder) {
      path = *known;
      step(in, last);
      return mapped;
    }
    forget_found(spelt_folder);
  }
  for_each_part(
      folders, [&](std::string_view part) { step(mapped->found ? find_in_folder(path, part) : FolderLookup{}, part); });
  if (mapped->found) remember_found(spelt_folder, path);
  step(mapped->found ? find_in_folder(path, last) : FolderLookup{}, last);
  return mapped;
}

// Maps a Windows path to the drive-C folder: the path as spelt when it exists
// (one look-up, skipped when the listings in memory say it is missing),
// otherwise the case-insensitive search; nothing without a drive-C folder.
std::optional<Mapped> map_path(std::string_view windows_path) {
  bool missing = false;
  std::optional<std::string> spelt = spelt_text(windows_path, missing);
  if (!spelt) return std::nullopt;
  struct stat info {};
  if (!missing && ::stat(spelt->c_str(), &info) == 0) return Mapped{std::move(*spelt), true, type_of(info.st_mode)};
  return case_insensitive_path(windows_path);
}

// Does act (true on success, errno set on failure) on the file as spelt, and
// when that is missing on the file the case-insensitive search finds.
template <typename Act>
bool on_file(std::string_view windows_path, Act &&act) {
  bool missing = false;
  std::optional<std::string> spelt = spelt_text(windows_path, missing);
  if (!spelt) return false;
  if (!missing) {
    if (act(spelt->c_str())) return true;
    if (errno != ENOENT && errno != ENOTDIR) return false;
  }
  std::optional<Mapped> file = case_insensitive_path(windows_path);
  return file && file->found && act(file->path.c_str());
}

// Whether a mapped path exists as a regular file (DT_REG) or a folder
// (DT_DIR), links followed.
bool is_a(const Mapped &mapped, unsigned char type) {
  if (!mapped.found) return false;
  if (mapped.type == DT_REG || mapped.type == DT_DIR) return mapped.type == type;
  struct stat info {};
  return ::stat(mapped.path.c_str(), &info) == 0 && type_of(info.st_mode) == type;
}

// Reads a whole file with one open, reads until the end, one close.
bool read_whole(const char *file, std::string &contents) {
  const int fd = ::open(file, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  std::string data;
  char chunk[8192];
  ssize_t got = 0;
  while ((got = ::read(fd, chunk, sizeof chunk)) > 0 || (got < 0 && errno == EINTR)) {
    if (got > 0) data.append(chunk, static_cast<std::size_t>(got));
  }
  ::close(fd);
  if (got < 0) return false;
  contents = std::move(data);
  return true;
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

// The locale variables the regional settings come from.
constexpr const char *kLocaleVariables[] = {"LC_ALL", "LC_NUMERIC", "LC_TIME", "LANG"};

// The regional settings, read from the locale files once and again only when
// a locale variable changes: no locale object is made per call.
class RegionalCache {
 public:
  const Regional &get() {
    bool same = read_;
    for (std::size_t i = 0; i < std::size(kLocaleVariables); ++i) {
      const char *value = std::getenv(kLocaleVariables[i]);
      if (seen_[i] != (value ? value : "")) {
        seen_[i] = value ? value : "";
        same = false;
      }
    }
    if (!same) {
      settings_ = read();
      read_ = true;
    }
    return settings_;
  }

 private:
  static Regional read() {
    Regional r;
    r.decimal = base::cp1252::from_utf8(langinfo("LC_NUMERIC", LC_NUMERIC_MASK, RADIXCHAR, "."));
    r.thousands = base::cp1252::from_utf8(langinfo("LC_NUMERIC", LC_NUMERIC_MASK, THOUSEP, ""));
    if (r.decimal.empty()) r.decimal.push_back('.');
    r.short_date = date_picture(langinfo("LC_TIME", LC_TIME_MASK, D_FMT, "%m/%d/%y"));
    return r;
  }

  bool read_ = false;
  std::string seen_[std::size(kLocaleVariables)];
  Regional settings_;
};

// One reading of a profile file, kept for the rest of the export call.
struct ProfileSnapshot {
  std::string file;  // the Windows path as given
  bool present = false;
  std::string contents;
  base::ini::Index keys;  // over contents
};

class PosixPlatform final : public Platform {
 public:
  std::string profile_string(std::string_view file, std::string_view section, std::string_view key,
                             std::string_view fallback) override {
    ProfileSnapshot &profile = snapshot(file);
    std::string value;
    if (profile.present && profile.keys.lookup(section, key, value)) return value;
    return std::string(fallback);
  }

  // A call starts from a fresh reading: what was read before it, outside any
  // call, may be stale.
  void begin_call() override {
    in_call_ = true;
    forget_readings();
  }

  void end_call() override {
    in_call_ = false;
    forget_readings();
  }

  DateTime now() override {
    struct timespec ts {};
    clock_gettime(CLOCK_REALTIME, &ts);
    struct tm tm {};
    localtime_r(&ts.tv_sec, &tm);
    return {tm.tm_year + 1900,
            tm.tm_mon + 1,
            tm.tm_mday,
            tm.tm_hour,
            tm.tm_min,
            tm.tm_sec,
            static_cast<int>(ts.tv_nsec / 1000000)};
  }

  // The locale variables are looked at once per export call.
  const Regional &regional() override {
    if (in_call_ && regional_in_call_) return *regional_in_call_;
    const Regional &settings = regional_.get();
    if (in_call_) regional_in_call_ = &settings;
    return settings;
  }

  int32_t show_message(int32_t form, std::string_view text, const char *caption, uint32_t flags) override {
    std::string line = "KALPO";
    if (caption && *caption) line += " [" + base::cp1252::to_utf8(caption) + "]";
    line += ": " + base::cp1252::to_utf8(text) + "\n";
    std::fputs(line.c_str(), stderr);
    // Without an operator a confirmation is answered No.
    return form == 1 && (flags & 0x0F) == 0x04 ? 7 : 1;
  }

  void release_input_block() override {}

  bool file_exists(std::string_view path) override {
    std::optional<Mapped> file = map_path(path);
    return file && is_a(*file, DT_REG);
  }

  bool remove_file(std::string_view path) override {
    return on_file(path, [](const char *file) { return std::remove(file) == 0; });
  }

  bool read_file(std::string_view path, std::string &contents) override {
    return on_file(path, [&](const char *file) { return read_whole(file, contents); });
  }

  // Only a missing folder is created.
  bool create_directories(std::string_view path) override {
    std::optional<Mapped> folder = map_path(path);
    if (!folder) return false;
    if (is_a(*folder, DT_DIR)) return true;
    std::error_code ec;
    fs::create_directories(folder->path, ec);
    return !ec;
  }

  int64_t file_size(std::string_view path) override {
    std::optional<Mapped> file = map_path(path);
    if (!file || !file->found) return -1;
    std::error_code ec;
    auto size = fs::file_size(file->path, ec);
    return ec ? -1 : static_cast<int64_t>(size);
  }

  void sleep_ms(uint32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

  uint64_t ticks_ms() override {
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
  }

 private:
  // The file read once within an export call; outside one, at every use.
  // The snapshot's strings are reused from call to call, never its contents.
  ProfileSnapshot &snapshot(std::string_view file) {
    if (in_call_ && snapshot_valid_ && snapshot_.file == file) return snapshot_;
    snapshot_.file.assign(file);
    snapshot_.present = read_file(file, snapshot_.contents);
    snapshot_.keys.reset(snapshot_.contents);
    snapshot_valid_ = true;
    return snapshot_;
  }

  void forget_readings() {
    snapshot_valid_ = false;
    regional_in_call_ = nullptr;
  }

  bool in_call_ = false;
  bool snapshot_valid_ = false;
  ProfileSnapshot snapshot_;
  RegionalCache regional_;
  const Regional *regional_in_call_ = nullptr;
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
  std::optional<Mapped> mapped = map_path(windows_path);
  return mapped ? std::move(mapped->path) : std::string();
}

}  // namespace kalpo::platform
