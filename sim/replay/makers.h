// The makers' library functions that KALPO calls, as the replay sees them:
// the library, the name, the kind of each argument and its name, read from
// the seam's list of declarations.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kreplay {

// Argument kinds, one letter each, as the call trace writes them:
//   t  a text (const char *)             i  an integer
//   c  a character                       v  an integer variable the maker sets
//   b  a buffer the maker writes         p  ObtemRetorno's length-prefixed buffer
struct MakerFunction {
  std::string library;  // "bemafi32", "dllg2_gerador", ...
  std::string name;
  std::string kinds;
  std::vector<std::string> params;
  bool returns_text = false;  // const char *, else an integer
};

const std::vector<MakerFunction> &maker_functions();
const MakerFunction *find_maker_function(std::string_view name);

// A replay maker library: its name, its file on Windows, and the answer of
// a printer that does not answer, in the library's convention.
struct Library {
  std::string_view name;
  std::string_view file;
  int dead = 0;
};

// In the rows of seam/maker_libraries.h.
const std::vector<Library> &libraries();
int dead_answer(std::string_view library);

}  // namespace kreplay
