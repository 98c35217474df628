// Where each maker library is found, and loading it.  libkalpo loads a maker
// library when a call first needs one of its functions, never at its own
// load; the kalpo tool asks the same question to say which file is in use.
//
// The places, in order:
//  1. with KALPO_VIRTUAL=1 only, the virtual printer's folder (below);
//  2. the loader's own search by file name: on Linux LD_LIBRARY_PATH, the
//     loader's cache and the system's library folders; on Windows the
//     program's folder, the system folders, the current folder and PATH
//     (a library of that name already loaded in the process is that one);
//  3. libkalpo's own folder;
//  4. the virtual printer's folder: kalpo/virtual-printer below libkalpo's
//     folder (virtual-printer\ beside kalpo.dll on Windows), where the
//     kalpo-virtual-printer package and the installer's component put it.
// So the virtual printer answers only where it was chosen: a maker's own
// library of that name, anywhere the loader finds it, comes first.
#pragma once

#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kalpo::seam {

// Every maker library, as the seam's list names them (bemafi32, convecf, ...),
// in the list's order.
std::span<const std::string_view> maker_libraries();

// The library's file name on this platform: libbemafi32.so, BEMAFI32.DLL.
std::string maker_file_name(std::string_view library);

struct FoundLibrary {
  void *handle = nullptr;        // null: not found anywhere
  std::string file;              // the file loaded
  std::string looked;            // where it was looked for, in order
  bool virtual_printer = false;  // the virtual printer's library (it exports kVirtualPrinterMark)
};

// The function every library of the virtual printer exports, and no maker's
// own: const char *kalpo_virtual_printer(void), saying what it is.
inline constexpr const char *kVirtualPrinterMark = "kalpo_virtual_printer";

// Loads the maker library (or finds it already loaded), looking in the
// places above; `kalpo_folder` is the folder of libkalpo's file.
FoundLibrary load_maker_library(std::string_view library, const std::string &kalpo_folder);

// The function's address in a loaded maker library, or null.
void *maker_symbol(void *handle, const char *name);

// A maker library that no place holds, or that lacks a function KALPO calls:
// the call answers as a printer that does not answer.
struct LibraryMissing : std::runtime_error {
  LibraryMissing(std::string library_name, std::string file_name, const std::string &why)
      : std::runtime_error(why), library(std::move(library_name)), file(std::move(file_name)) {}
  std::string library;  // bemafi32
  std::string file;     // libbemafi32.so
};

}  // namespace kalpo::seam
