// The status bytes of the Bematech and Sweda status calls taken apart as the
// library tests them: the one walk of the library and the kalpo tool over the
// one table of bits (tables::bematech_status_bits, with their operator
// messages and codes).
#pragma once

#include <cstdint>

#include "makers/code_texts.h"

namespace kalpo::makers {

// Takes the bits out of ST1 and ST2 as the library tests them, highest of
// ST1 first: each bit whose value what is left of its byte reaches is
// subtracted and handed to `take`.  Bit 0 of ST2 has no entry: what is left of
// ST2 afterwards decides the result.
template <class Take>
void take_status_bits(int32_t &st1, int32_t &st2, Take take) {
  for (const StatusBit &bit : tables::bematech_status_bits()) {
    int32_t &remaining = bit.byte == StatusByte::St1 ? st1 : st2;
    if (remaining < bit.value) continue;
    remaining -= bit.value;
    take(bit);
  }
}

}  // namespace kalpo::makers
