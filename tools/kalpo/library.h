// libkalpo, loaded when the first command needs an export, so that the tool
// starts, helps and reads traces on a workstation without maker libraries.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>

namespace kt {

// libkalpo or a maker library it needs could not be loaded: the message says
// which, where it was looked for and how to get the virtual printer.
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

// Runs `action` once libkalpo is loaded: now if it is, else right after it is.
void when_library_loaded(std::function<void()> action);

}  // namespace kt
