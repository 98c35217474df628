// The exports of one replay maker library, under the maker's own names: the
// build compiles this file once per library, KALPO_REPLAY_LIBRARY naming it.
#define KALPO_MAKER_DEFINE
#include "seam/maker_import.h"

#include "replay/answers.h"

namespace {

kreplay::Replay &replay() {
  static kreplay::Replay library(KALPO_REPLAY_LIBRARY);
  return library;
}

}  // namespace

#define KALPO_REPLAY_DEFINE(ret, name, params, args) \
  extern "C" ret KALPO_MAKER_CALL name params { return kreplay::answer<ret>(replay(), #name, std::make_tuple args); }

#if KALPO_REPLAY_INDEX == 0
#define KALPO_BEMAFI32 KALPO_REPLAY_DEFINE
#elif KALPO_REPLAY_INDEX == 1
#define KALPO_CONVECF KALPO_REPLAY_DEFINE
#elif KALPO_REPLAY_INDEX == 2
#define KALPO_FS345 KALPO_REPLAY_DEFINE
#elif KALPO_REPLAY_INDEX == 3
#define KALPO_DARUMA32 KALPO_REPLAY_DEFINE
#elif KALPO_REPLAY_INDEX == 4
#define KALPO_ECF32M KALPO_REPLAY_DEFINE
#elif KALPO_REPLAY_INDEX == 5
#define KALPO_DLLG2 KALPO_REPLAY_DEFINE
#elif KALPO_REPLAY_INDEX == 6
#define KALPO_DLLG2_GERADOR KALPO_REPLAY_DEFINE
#else
#define KALPO_EPSON KALPO_REPLAY_DEFINE
#endif
#include "seam/maker_list.h"
