#include "replay/makers.h"

#include <cstdint>
#include <type_traits>

#include "seam/arg_kinds.h"

namespace kreplay {
namespace {

template <typename F>
struct Signature;

template <typename R, typename... A>
struct Signature<R(A...)> {
  static std::string kinds([[maybe_unused]] bool prefixed) {
    return std::string{kalpo::seam::kind_letter<A>(prefixed)...};
  }
  static constexpr bool returns_text = std::is_same_v<R, const char *>;
};

// "(const char *codigo, int32_t modo)" as {"codigo", "modo"}.
std::vector<std::string> param_names(std::string_view params) {
  std::vector<std::string> names;
  std::string name;
  for (char c : params) {
    const bool word = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    if (word) {
      name += c;
    } else if (c == ',' || c == ')') {
      if (!name.empty()) names.push_back(name);
      name.clear();
    } else if (c != ' ') {
      name.clear();
    } else if (!name.empty()) {
      name.clear();  // a type word: the name is the last word
    }
  }
  return names;
}

template <typename F>
MakerFunction entry(const char *library, const char *name, const char *params) {
  return {library, name, Signature<F>::kinds(kalpo::seam::length_prefixed(name)), param_names(params),
          Signature<F>::returns_text};
}

}  // namespace

const std::vector<MakerFunction> &maker_functions() {
  static const std::vector<MakerFunction> table = {
#define KALPO_MAKER_OF(library, ret, name, params, args) entry<ret params>(#library, #name, #params),
#include "seam/maker_list.h"
  };
  return table;
}

const MakerFunction *find_maker_function(std::string_view name) {
  for (const MakerFunction &f : maker_functions())
    if (f.name == name) return &f;
  return nullptr;
}

const std::vector<Library> &libraries() {
  static const std::vector<Library> table = {
#define KALPO_MAKER_LIBRARY(name, file, dead) {#name, file, dead},
#include "seam/maker_libraries.h"
  };
  return table;
}

int dead_answer(std::string_view library) {
  for (const Library &l : libraries())
    if (l.name == library) return l.dead;
  return 0;
}

}  // namespace kreplay
