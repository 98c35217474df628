#include "platform/platform.h"

namespace kalpo::platform {

Platform &real();  // defined by the platform's own file

namespace {
Platform *installed = nullptr;
}  // namespace

Platform &get() { return installed ? *installed : real(); }
void install(Platform *platform) { installed = platform; }

}  // namespace kalpo::platform
