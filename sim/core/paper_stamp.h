// A cheap sign that a printer's paper changed, for watchers that would
// otherwise look at the printer (and take its lock) every time.
#pragma once

#include <string>
#include <string_view>

namespace ksim {

// What changes whenever the printer of `library` prints (its tape file's
// size and time), read without the lock and without following a link; ""
// when there is no paper to look at.
std::string paper_stamp(std::string_view library);

}  // namespace ksim
