// The parameter list of the next command.
#define KALPO_MAKER_DEFINE
#include "seam/maker_import.h"

#include "dllg2/driver.h"

using namespace dllg2;

extern "C" KALPO_MAKER_IMPORT int32_t KALPO_MAKER_CALL DLLG2_LimpaParams(int32_t handle) {
  return with_instance(handle, no_instance, bad_argument, [](Drivers &, Instance &instance) -> int32_t {
    instance.params.clear();
    instance.broken_list = false;
    return 0;
  });
}

// An empty value may come as a null pointer.  A parameter without a name
// spoils the list: the next command is refused for its syntax.
extern "C" KALPO_MAKER_IMPORT int32_t KALPO_MAKER_CALL DLLG2_AdicionaParam(int32_t handle, const char *nome,
                                                                           const char *valor, int32_t tipo) {
  return with_instance(handle, no_instance, bad_argument, [&](Drivers &, Instance &instance) -> int32_t {
    if (!nome || !*nome) {
      instance.broken_list = true;
      return bad_argument;
    }
    instance.params.push_back({nome, valor ? valor : "", tipo, false});
    return 0;
  });
}
