// Where the printers live: the data folder, Windows paths mapped here, and
// the files that a maker library's caller names (a log, a fiscal file;
// written by the platform's files layer).
#include <algorithm>
#include <filesystem>
#include <optional>

#include "core/internal.h"

namespace ksim {
namespace {

bool is_separator(char c) { return c == '\\' || c == '/'; }

// The components of a Windows path below the root of drive C, as Windows
// resolves them: the drive letter in any case, "." dropped, ".." going one
// folder up but never above the root.  A path without a drive letter is on
// drive C from its root (the process stands there), unless `need_drive`.
// None for another drive or a network path ("\\server\share").
std::optional<std::vector<std::string_view>> drive_c_parts(std::string_view path, bool need_drive) {
  if (path.size() >= 2 && is_separator(path[0]) && is_separator(path[1])) return std::nullopt;
  const bool lettered = path.size() >= 2 && path[1] == ':';
  if (lettered ? path[0] != 'c' && path[0] != 'C' : need_drive) return std::nullopt;
  if (lettered) path.remove_prefix(2);
  std::vector<std::string_view> parts;
  while (!path.empty()) {
    const std::size_t end = std::min(path.find_first_of("\\/"), path.size());
    const std::string_view part = path.substr(0, end);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    path.remove_prefix(std::min(end + 1, path.size()));
  }
  return parts;
}

#if defined(_WIN32)
std::string on_this_machine(const std::vector<std::string_view> &parts) {
  std::string result = "C:";
  for (std::string_view part : parts) (result += '\\') += part;
  return result;
}
#else
// The folder that stands for drive C: outside Windows.
std::string drive_c_root() {
  std::string root = files::environment("KALPO_DRIVE_C");
  if (!root.empty()) return root;
  std::string home = files::home_folder();
  return home.empty() ? std::string() : home + "/.kalpo/drive_c";
}

// The entry of `folder` named `name` ignoring ASCII case, else `name`.
std::string existing_entry(const std::string &folder, std::string_view name) {
  std::string wanted = lower_ascii(name);
  for (const std::string &entry : files::list_folder(folder))
    if (lower_ascii(entry) == wanted) return entry;
  return std::string(name);
}

// Under the drive-C root, each component matching an existing entry
// ignoring case; empty without a drive-C root.
std::string on_this_machine(const std::vector<std::string_view> &parts) {
  std::string result = drive_c_root();
  if (result.empty()) return {};
  for (std::string_view part : parts) result += "/" + existing_entry(result, part);
  return result;
}
#endif

// Whether `path` is `folder` or lies in it, links resolved (ignoring case on
// Windows).
bool inside(const std::string &path, const std::string &folder) {
  namespace fs = std::filesystem;
  std::error_code file_error, base_error;
  const fs::path file = fs::weakly_canonical(path, file_error), base = fs::weakly_canonical(folder, base_error);
  if (file_error || base_error) return true;  // unresolved: taken as inside, so refused
  auto same = [](const fs::path &a, const fs::path &b) {
#if defined(_WIN32)
    return lower_ascii(a.string()) == lower_ascii(b.string());
#else
    return a == b;
#endif
  };
  auto f = file.begin();
  for (auto b = base.begin(); b != base.end(); ++b, ++f) {
    if (b->empty() && std::next(b) == base.end()) break;  // a trailing separator
    if (f == file.end() || !same(*f, *b)) return false;
  }
  return true;
}

}  // namespace

std::string data_dir() {
  std::string folder = files::environment("KALPO_SIM_DIR");
  if (!folder.empty()) return folder;
#if defined(_WIN32)
  return "c:\\kalpo-sim";
#else
  std::string root = drive_c_root();
  return root.empty() ? std::string() : root + "/kalpo-sim";
#endif
}

std::string windows_path(std::string_view path) {
#if defined(_WIN32)
  return std::string(path);
#else
  const auto parts = drive_c_parts(path, false);
  return parts ? on_this_machine(*parts) : std::string();
#endif
}

bool make_folders(const std::string &path) { return files::make_folders(path); }

std::string caller_file(std::string_view path) {
  const auto parts = drive_c_parts(path, true);
  if (!parts || parts->empty()) return {};
  std::string file = on_this_machine(*parts);
  const std::string printers = data_dir();
  if (file.empty() || (!printers.empty() && inside(file, printers))) return {};
  return file;
}

}  // namespace ksim
