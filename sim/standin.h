// Stand-ins for the printer makers' libraries: each answers every call as a
// printer that is not connected would, in its maker's own convention, so that
// KALPO loads and reports "no printer" truthfully without hardware.
#pragma once

#define KALPO_VENDOR_DEFINE
#include <cstdint>
#include <cstring>
#include <string_view>
#include <tuple>
#include <type_traits>

#include "vendor/vendor_import.h"

namespace kalpo::sim {

template <typename... T>
constexpr void unused(const T &...) {}

// The first argument of a call, when it is a character buffer.
template <typename... A>
char *first_buffer(A... args) {
  if constexpr (sizeof...(A) > 0) {
    auto first = std::get<0>(std::tuple<A...>(args...));
    if constexpr (std::is_same_v<decltype(first), char *>) return first;
  }
  return nullptr;
}

}  // namespace kalpo::sim

// Defines one exported function whose answer comes from ANSWER(name, args...).
#define KALPO_STANDIN_DEFINE(ret, name, params, args, ANSWER) \
  extern "C" ret KALPO_VENDOR_CALL name params {              \
    kalpo::sim::unused args;                                  \
    return ANSWER<ret>(#name, std::make_tuple args);          \
  }
