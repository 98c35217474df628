#include "library.h"

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <vector>

#if defined(_WIN32)
#include <windows.h>

#include "host.h"
#else
#include <dlfcn.h>
#endif

namespace fs = std::filesystem;

namespace kt {
namespace {

std::mutex g_mutex;
void *g_library = nullptr;
std::string g_file;
std::vector<std::function<void()>> g_pending;

#if defined(_WIN32)

constexpr const char *kMakerFiles[] = {
#define KALPO_MAKER_LIBRARY(name, file, dead) file,
#include "seam/maker_libraries.h"
};

constexpr const char *kGetIt =
    "Install the maker's own DLLs beside kalpo.dll, or the virtual printer: the installer's component, or the\n"
    "DLLs of the zip's virtual-printer\\ folder copied beside kalpo.dll.";

// Whether the loader's search finds the file, without running any of its code.
bool findable(const char *file) {
  HMODULE data = LoadLibraryExA(file, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!data) return false;
  FreeLibrary(data);
  return true;
}

void *open_library(std::string &file) {
  const UINT before = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE module = LoadLibraryA("kalpo.dll");
  SetErrorMode(before);
  if (module) {
    file = module_file(module);
    return module;
  }
  const std::string where = "in " + fs::path(module_file(nullptr)).parent_path().string() +
                            ", the system folders, the current folder and PATH";
  if (!findable("kalpo.dll")) throw LibraryMissing("kalpo.dll is not found: looked " + where + ".");
  for (const char *maker : kMakerFiles)
    if (!findable(maker))
      throw LibraryMissing(std::string("the maker library ") + maker + " is missing: kalpo.dll needs it; looked " +
                           where + ".\n" + kGetIt);
  throw LibraryMissing("kalpo.dll cannot be loaded (Windows error " + std::to_string(GetLastError()) + ").\n" + kGetIt);
}

void *symbol(void *library, const char *name) {
  return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(library), name));
}

#else

constexpr const char *kGetIt =
    "Install the maker's own libraries, or the virtual printer: apt install kalpo-virtual-printer (the\n"
    "tarball holds it beside libkalpo, in kalpo/virtual-printer/).";

// The folders named by a colon-separated list, empty entries left out.
std::vector<fs::path> folders_of(const char *list) {
  std::vector<fs::path> out;
  std::string rest = list ? list : "";
  while (!rest.empty()) {
    const std::size_t colon = rest.find(':');
    if (colon != 0) out.emplace_back(rest.substr(0, colon));
    rest = colon == std::string::npos ? "" : rest.substr(colon + 1);
  }
  return out;
}

// Where libkalpo is looked for before the system's folders: the loader's
// path, then the library folder of this installation (the build tree's lib/
// too), in the loader's own order.
std::vector<fs::path> own_folders() {
  std::vector<fs::path> out = folders_of(std::getenv("LD_LIBRARY_PATH"));
  std::error_code ec;
  const fs::path bin = fs::read_symlink("/proc/self/exe", ec).parent_path();
  if (!ec)
    for (const fs::path &relative : folders_of(KALPO_TOOL_LIBRARY_DIRS))
      out.push_back((bin / relative).lexically_normal());
  return out;
}

std::string listed(const std::vector<fs::path> &folders) {
  std::string out;
  for (const fs::path &f : folders) out += f.string() + ", ";
  return out;
}

void *open_library(std::string &file) {
  fs::path path = KALPO_SONAME;
  std::error_code ec;
  const std::vector<fs::path> folders = own_folders();
  for (const fs::path &folder : folders)
    if (fs::is_regular_file(folder / KALPO_SONAME, ec)) {
      path = folder / KALPO_SONAME;
      break;
    }
  // Global, as a linked library's: the maker libraries' functions are looked
  // up by name (the replay's report of what answered).
  if (void *library = dlopen(path.c_str(), RTLD_NOW | RTLD_GLOBAL)) {
    Dl_info info{};
    void *any = dlsym(library, "KALPO_Versao");
    file = any && dladdr(any, &info) && info.dli_fname ? info.dli_fname : path.string();
    return library;
  }
  // "libX.so: cannot open shared object file: ...": the first name is the
  // file the loader did not find.
  const std::string error = dlerror();
  const std::string missing = error.substr(0, error.find(": "));
  if (missing == KALPO_SONAME || missing == path.string())
    throw LibraryMissing(std::string(KALPO_SONAME) + " is not found: looked in " + listed(folders) +
                         "and the system's library folders.");
  if (error.find("cannot open shared object file") == std::string::npos)
    throw LibraryMissing(path.string() + " cannot be loaded: " + error);
  const fs::path beside = path.has_parent_path() ? path.parent_path() : fs::path("libkalpo's folder");
  throw LibraryMissing("the maker library " + missing + " is missing: " + KALPO_SONAME + " needs it; looked in " +
                       beside.string() + ", " + (beside / "kalpo/virtual-printer").string() +
                       ", LD_LIBRARY_PATH and the system's library folders.\n" + kGetIt);
}

void *symbol(void *library, const char *name) { return dlsym(library, name); }

#endif

void *library() {
  std::vector<std::function<void()>> run;
  {
    std::lock_guard lock(g_mutex);
    if (g_library) return g_library;
    g_library = open_library(g_file);
    run.swap(g_pending);
  }
  for (const auto &action : run) action();
  return g_library;
}

}  // namespace

void *export_address(const char *name) {
  void *address = symbol(library(), name);
  if (!address) throw LibraryMissing(g_file + " has no export " + name + ": it is not this tool's version");
  return address;
}

std::string loaded_library_file() {
  library();
  return g_file;
}

void when_library_loaded(std::function<void()> action) {
  {
    std::lock_guard lock(g_mutex);
    if (!g_library) {
      g_pending.push_back(std::move(action));
      return;
    }
  }
  action();
}

}  // namespace kt
