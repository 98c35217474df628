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
  static std::string kinds() { return std::string{kalpo::seam::kind_letter<A>(false)...}; }
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

MakerFunction entry(const char *library, const char *name, std::string kinds, bool returns_text, const char *params) {
  MakerFunction f{library, name, std::move(kinds), param_names(params), returns_text};
  if (f.name == "ObtemRetorno") f.kinds = "p";
  return f;
}

}  // namespace

const std::vector<MakerFunction> &maker_functions() {
  static const std::vector<MakerFunction> table = {
#define KALPO_REPLAY_ENTRY(library, ret, name, params) \
  entry(library, #name, Signature<ret params>::kinds(), Signature<ret params>::returns_text, #params),
#define KALPO_BEMAFI32(ret, name, params, args) KALPO_REPLAY_ENTRY("bemafi32", ret, name, params)
#define KALPO_CONVECF(ret, name, params, args) KALPO_REPLAY_ENTRY("convecf", ret, name, params)
#define KALPO_FS345(ret, name, params, args) KALPO_REPLAY_ENTRY("fs345_32", ret, name, params)
#define KALPO_DARUMA32(ret, name, params, args) KALPO_REPLAY_ENTRY("daruma32", ret, name, params)
#define KALPO_ECF32M(ret, name, params, args) KALPO_REPLAY_ENTRY("ecf32m", ret, name, params)
#define KALPO_DLLG2(ret, name, params, args) KALPO_REPLAY_ENTRY("dllg2", ret, name, params)
#define KALPO_DLLG2_GERADOR(ret, name, params, args) KALPO_REPLAY_ENTRY("dllg2_gerador", ret, name, params)
#define KALPO_EPSON(ret, name, params, args) KALPO_REPLAY_ENTRY("interfaceepson", ret, name, params)
#include "seam/maker_list.h"
#undef KALPO_REPLAY_ENTRY
  };
  return table;
}

const MakerFunction *find_maker_function(std::string_view name) {
  for (const MakerFunction &f : maker_functions())
    if (f.name == name) return &f;
  return nullptr;
}

int dead_answer(std::string_view library) {
  struct Dead {
    std::string_view library;
    int answer;
  };
  // Printer off: BEMAFI32 and CONVECF -6, fs345_32 -1, Daruma32 0, ecf32m
  // -99 (time-out), DllG2 -1, the generator -3, InterfaceEpson 1.
  static constexpr Dead kDead[] = {{"bemafi32", -6}, {"convecf", -6}, {"fs345_32", -1},      {"daruma32", 0},
                                   {"ecf32m", -99},  {"dllg2", -1},   {"dllg2_gerador", -3}, {"interfaceepson", 1}};
  for (const Dead &d : kDead)
    if (d.library == library) return d.answer;
  return 0;
}

}  // namespace kreplay
