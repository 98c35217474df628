// Binding to the makers' libraries.  Nothing is linked: each library is
// loaded when a call first needs one of its functions (maker_files.h says
// from where), so that KALPO loads with no maker library at all and a store
// with one maker's library uses that one.  Each function's address is looked
// up once.  A library that no place holds, or that lacks the function, makes
// the call fail as a printer that does not answer (LibraryMissing).  Each
// import is wrapped in a function of the default calling convention so that
// the seam's table has one type on every platform.
#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "seam/maker_files.h"
#include "seam/maker_import.h"
#include "seam/seam.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace kalpo::seam {
namespace {

std::mutex g_mutex;
LoadListener g_listener = nullptr;

struct Loaded {
  std::string library;
  FoundLibrary found;
  bool told_missing = false;  // the missing library said once on standard error
};
std::vector<Loaded> g_loaded;  // one per library asked for

// The folder of libkalpo's own file.
std::string kalpo_folder() {
#if defined(_WIN32)
  HMODULE self = nullptr;
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCSTR>(&kalpo_folder), &self))
    return {};
  char path[MAX_PATH * 4];
  const DWORD n = GetModuleFileNameA(self, path, sizeof path);
  std::string file = n > 0 && n < sizeof path ? std::string(path, n) : std::string();
  const std::size_t slash = file.find_last_of("\\/");
#else
  Dl_info info{};
  std::string file = dladdr(reinterpret_cast<void *>(&kalpo_folder), &info) && info.dli_fname ? info.dli_fname : "";
  const std::size_t slash = file.find_last_of('/');
#endif
  return slash == std::string::npos ? std::string(".") : file.substr(0, slash);
}

// The library's handle, loading it the first time it is asked for and again
// on each call while it is missing (it may have been installed since).
void *library_handle(const char *library) {
  std::lock_guard lock(g_mutex);
  Loaded *entry = nullptr;
  for (Loaded &l : g_loaded)
    if (l.library == library) entry = &l;
  if (!entry) entry = &g_loaded.emplace_back(Loaded{library, {}, false});
  if (entry->found.handle) return entry->found.handle;
  entry->found = load_maker_library(library, kalpo_folder());
  if (g_listener) g_listener(library, entry->found);
  if (entry->found.handle) return entry->found.handle;
  const std::string file = maker_file_name(library);
  const std::string why = "the maker library " + file + " is missing: looked in " + entry->found.looked;
  if (!entry->told_missing) {
    std::fprintf(stderr, "KALPO: %s; its printer does not answer\n", why.c_str());
    entry->told_missing = true;
  }
  throw LibraryMissing(library, file, why);
}

template <typename F>
F resolve(std::atomic<void *> &cache, const char *library, const char *name) {
  void *address = cache.load(std::memory_order_acquire);
  if (!address) {
    address = maker_symbol(library_handle(library), name);
    if (!address) {
      const std::string file = maker_file_name(library);
      throw LibraryMissing(library, file, "the maker library " + file + " has no function " + name);
    }
    cache.store(address, std::memory_order_release);
  }
  return reinterpret_cast<F>(address);
}

#define KALPO_NATIVE_WRAPPER(library, ret, name, params, args)                   \
  ret native_##name params {                                                     \
    static std::atomic<void *> cache{nullptr};                                   \
    return resolve<ret(KALPO_MAKER_CALL *) params>(cache, #library, #name) args; \
  }
#define KALPO_MAKER_OF KALPO_NATIVE_WRAPPER
#include "seam/maker_list.h"
#undef KALPO_NATIVE_WRAPPER

const Api kNative = {
#define KALPO_NATIVE_SLOT(ret, name, params, args) &native_##name,
#define KALPO_MAKER_EACH KALPO_NATIVE_SLOT
#include "seam/maker_list.h"
#undef KALPO_NATIVE_SLOT
};

const Api *current = &kNative;

}  // namespace

const Api &api() { return *current; }
const Api &native() { return kNative; }
void install(const Api *table) { current = table ? table : &kNative; }

void listen_loads(LoadListener listener) {
  std::lock_guard lock(g_mutex);
  g_listener = listener;
}

}  // namespace kalpo::seam
