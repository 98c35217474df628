// The fuzz targets' shared pieces: a maker seam whose every answer (return
// values, texts written into buffers, status integers) comes from the fuzz
// input, and a platform that reads the real drive C but never waits.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <string>

#include "platform/platform.h"

namespace kalpo::fuzz {

// Installs the seam and the platform (once) and takes the answers of the
// calls that follow from data.  Every buffer and var pointer the seam
// receives must be non-null, and it writes no further than each buffer's
// width (its blanks up to the terminating zero, or the size its maker
// documents).
void answer_from(FuzzedDataProvider &data);

// Writes the configuration file (c:\zantrello\configs\kalpo.ini) of a
// temporary drive C.
void write_configuration(const std::string &contents);

// Fails the run: an invariant does not hold.
[[noreturn]] void violated(const char *what);

}  // namespace kalpo::fuzz
