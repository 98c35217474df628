#include "frame/operations.h"
#include "frame/platform.h"

namespace kalpo::ops {

void le_data(Model, OutText data) {
  data.set(platform::format_date(platform::get().now(), platform::get().regional().short_date));
}

}  // namespace kalpo::ops
