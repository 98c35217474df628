#include "seam/maker_files.h"

#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <link.h>
#endif

namespace kalpo::seam {
namespace {

namespace fs = std::filesystem;

// The libraries and their files on Windows, from the makers' table.
struct MakerFile {
  std::string_view name, dll;
};
constexpr MakerFile kMakers[] = {
#define KALPO_MAKER_LIBRARY(name, file, dead) {#name, file},
#include "seam/maker_libraries.h"
};

bool virtual_chosen() {
  const char *v = std::getenv("KALPO_VIRTUAL");
  return v && std::string_view(v) == "1";
}

#if defined(_WIN32)

constexpr const char *kVirtualFolder = "virtual-printer";
constexpr const char *kLoaderSearch = "the program's folder, the system folders, the current folder and PATH";

std::string module_file(HMODULE module) {
  char path[MAX_PATH * 4];
  const DWORD n = GetModuleFileNameA(module, path, sizeof path);
  return n > 0 && n < sizeof path ? std::string(path, n) : std::string();
}

// A library by file name (searched) or by path; no dialog when it is missing.
void *open(const std::string &file, bool searched, std::string &file_loaded) {
  const UINT before = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE module =
      searched ? LoadLibraryA(file.c_str()) : LoadLibraryExA(file.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  SetErrorMode(before);
  if (module) file_loaded = module_file(module);
  return module;
}

#else

constexpr const char *kVirtualFolder = "kalpo/virtual-printer";
constexpr const char *kLoaderSearch = "LD_LIBRARY_PATH, the loader's cache and the system's library folders";

void *open(const std::string &file, bool, std::string &file_loaded) {
  void *handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) return nullptr;
  link_map *map = nullptr;
  file_loaded = dlinfo(handle, RTLD_DI_LINKMAP, &map) == 0 && map && map->l_name && *map->l_name ? map->l_name : file;
  return handle;
}

#endif

}  // namespace

std::span<const std::string_view> maker_libraries() {
  static const std::vector<std::string_view> names = [] {
    std::vector<std::string_view> all;
    for (const MakerFile &maker : kMakers) all.push_back(maker.name);
    return all;
  }();
  return names;
}

std::string maker_file_name(std::string_view library) {
#if defined(_WIN32)
  for (const MakerFile &maker : kMakers)
    if (maker.name == library) return std::string(maker.dll);
  return std::string(library) + ".dll";
#else
  return "lib" + std::string(library) + ".so";
#endif
}

FoundLibrary load_maker_library(std::string_view library, const std::string &kalpo_folder) {
  const std::string name = maker_file_name(library);
  const fs::path own = fs::path(kalpo_folder);
  const fs::path virtual_dir = own / kVirtualFolder;
  FoundLibrary found;
  const auto try_folder = [&](const fs::path &folder) {
    if (found.handle || kalpo_folder.empty()) return;
    found.looked += (found.looked.empty() ? "" : ", ") + folder.string();
    std::error_code ec;
    if (!fs::is_regular_file(folder / name, ec)) return;
    found.handle = open((folder / name).string(), false, found.file);
  };
  if (virtual_chosen()) try_folder(virtual_dir);
  if (!found.handle) {
    found.looked += (found.looked.empty() ? "" : ", ") + std::string(kLoaderSearch);
    found.handle = open(name, true, found.file);
  }
  try_folder(own);
  try_folder(virtual_dir);
  // The virtual printer's libraries say so themselves, wherever they were
  // found (a build tree keeps them beside libkalpo).
  found.virtual_printer = found.handle && maker_symbol(found.handle, kVirtualPrinterMark);
  return found;
}

void *maker_symbol(void *handle, const char *name) {
#if defined(_WIN32)
  return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(handle), name));
#else
  return dlsym(handle, name);
#endif
}

}  // namespace kalpo::seam
