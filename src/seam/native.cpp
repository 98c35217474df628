// Binding to the makers' libraries.  The libraries are linked by name, so the
// loader binds all of them when KALPO loads and refuses to load KALPO when one
// is missing.  Each import is wrapped in a function of the default calling
// convention so that the seam's table has one type on every platform.
#include "seam/maker_import.h"
#include "seam/seam.h"

namespace kalpo::seam {
namespace {

#define KALPO_NATIVE_WRAPPER(ret, name, params, args) \
  ret native_##name params { return ::name args; }
#define KALPO_MAKER_EACH KALPO_NATIVE_WRAPPER
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

}  // namespace kalpo::seam
