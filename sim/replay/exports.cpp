// The exports of one replay maker library, under the maker's own names: the
// build compiles this file once per row of seam/maker_libraries.h, naming the
// library in KALPO_REPLAY_LIBRARY and defining KALPO_REPLAY_THIS_<library>
// as KALPO_REPLAY_PROBE for it alone.
#define KALPO_MAKER_DEFINE
#include "seam/maker_import.h"

#include "replay/answers.h"

namespace {

kreplay::Replay &replay() {
  static kreplay::Replay library(KALPO_REPLAY_LIBRARY);
  return library;
}

}  // namespace

extern "C" KALPO_MAKER_IMPORT void kalpo_replay_take(const kreplay::MakerCall *calls, std::size_t count) {
  static_assert(std::is_same_v<decltype(&kalpo_replay_take), kreplay::TakeCalls>);
  replay().take(std::vector<kreplay::MakerCall>(calls, calls + count));
}

// KALPO_REPLAY_IS(library): 1 for this library, 0 for any other.  The probe
// adds an argument, so that the second one is 1 where it stands.
#define KALPO_REPLAY_PROBE ~, 1
#define KALPO_REPLAY_SECOND(first, second, ...) second
#define KALPO_REPLAY_TEST(...) KALPO_REPLAY_SECOND(__VA_ARGS__, 0, ~)
#define KALPO_REPLAY_IS(library) KALPO_REPLAY_TEST(KALPO_REPLAY_THIS_##library)
#define KALPO_REPLAY_JOIN(a, b) KALPO_REPLAY_JOIN_AGAIN(a, b)
#define KALPO_REPLAY_JOIN_AGAIN(a, b) a##b

#define KALPO_REPLAY_DEFINE_0(ret, name, params, args)
#define KALPO_REPLAY_DEFINE_1(ret, name, params, args) \
  extern "C" ret KALPO_MAKER_CALL name params { return kreplay::answer<ret>(replay(), #name, std::make_tuple args); }
#define KALPO_MAKER_OF(library, ret, name, params, args) \
  KALPO_REPLAY_JOIN(KALPO_REPLAY_DEFINE_, KALPO_REPLAY_IS(library))(ret, name, params, args)
#include "seam/maker_list.h"
