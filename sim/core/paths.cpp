// Where the printers live: the data folder, and Windows paths mapped here.
#include "core/internal.h"

namespace ksim {
namespace {

#if !defined(_WIN32)
// The folder that stands for drive C: outside Windows.
std::string drive_c_root() {
  std::string root = files::environment("KALPO_DRIVE_C");
  if (!root.empty()) return root;
  std::string home = files::home_folder();
  return home.empty() ? std::string() : home + "/.kalpo/drive_c";
}

// The entry of `folder` named `name` ignoring ASCII case, else `name`.
std::string existing_entry(const std::string &folder, const std::string &name) {
  std::string wanted = lower_ascii(name);
  for (const std::string &entry : files::list_folder(folder))
    if (lower_ascii(entry) == wanted) return entry;
  return name;
}
#endif

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
  bool on_c = path.size() >= 2 && path[1] == ':' && (path[0] == 'c' || path[0] == 'C');
  if (!on_c) {
    std::string plain(path);
    for (char &c : plain)
      if (c == '\\') c = '/';
    return plain;
  }
  std::string result = drive_c_root();
  if (result.empty()) return {};
  path.remove_prefix(2);
  while (!path.empty()) {
    std::size_t end = path.find_first_of("\\/");
    std::string part(path.substr(0, end));
    if (!part.empty() && part != ".") result += "/" + existing_entry(result, part);
    path.remove_prefix(end == std::string_view::npos ? path.size() : end + 1);
  }
  return result;
#endif
}

}  // namespace ksim
