// libkalpo, loaded when the first command needs an export, so that the tool
// starts, helps and reads traces on a workstation without maker libraries.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kt {

// libkalpo could not be loaded: the message says where it was looked for.
// (libkalpo loads without any maker library: a call of a missing one answers
// as a printer that does not answer, naming the library.)
struct LibraryMissing : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The export's address, libkalpo loaded first if it is not yet; throws
// LibraryMissing.
void *export_address(const char *name);

// The export as its own function type: library_export<decltype(&KALPO_Versao)>("KALPO_Versao").
template <typename F>
F library_export(const char *name) {
  return reinterpret_cast<F>(export_address(name));
}

// The file libkalpo was loaded from (loading it if it is not yet).
std::string loaded_library_file();

// A maker library as libkalpo finds it from this process (loaded by the same
// search, src/seam/maker_files.h): its file name, the file found (empty:
// missing, `looked` says where it was looked for), and whether that is the
// virtual printer's folder.  Empty `looked` and file: libkalpo is not loaded.
#if defined(_WIN32)
// The file of a module loaded in this process (nullptr: this program's).
std::string module_file(void *module);
#endif

struct MakerFile {
  std::string library;  // bemafi32
  std::string name;     // libbemafi32.so, BEMAFI32.DLL
  std::string file;
  std::string looked;
  bool virtual_printer = false;
};
MakerFile maker_file(const std::string &library);
std::vector<MakerFile> maker_files();
// One line: the file and "(virtual printer)", or "missing: <name>, looked in ...".
std::string maker_file_text(const MakerFile &m);

// Runs `action` once libkalpo is loaded: now if it is, else right after it is.
void when_library_loaded(std::function<void()> action);

}  // namespace kt
