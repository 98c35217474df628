// What differs between the workstation's systems: the environment, a fresh
// temporary folder, whether a person is at the keyboard, and the output.
#pragma once

#include <string>

namespace kt {

#if defined(_WIN32)
// The file a loaded module (an HMODULE; null: the program) was loaded from,
// empty when unknown.
std::string module_file(void *module);
#endif
// Sets a variable of this process's environment, seen by getenv and by the
// libraries loaded in it (on Windows also through GetEnvironmentVariable).
void set_environment(const char *name, const std::string &value);
// A new empty folder under the system's temporary folder, its name starting
// with `prefix`; std::runtime_error when it cannot be made.
std::string temporary_folder(const std::string &prefix);
bool input_is_terminal();
bool output_is_terminal();
// Standard output carries the same bytes everywhere: no CR added before LF on
// Windows, and a console there shows UTF-8.
void prepare_output();
// A standard stream (input, output, error) found closed is opened on the
// null device, read-only, so that writing to it fails rather than landing in
// the next file the tool opens.
void keep_standard_streams();

}  // namespace kt
