// A maker library that answers from a call trace instead of a printer: the
// replay hands it, before each export call, the calls of this library that
// the call recorded (take).  Each call KALPO makes is matched to the next of
// them; when it is that call (the same function, the same arguments, buffers
// of the same width) the recorded return and what the maker wrote are handed
// back, never past the caller's buffer.  From the first call that is not the
// recorded one on (or one more than were recorded), the library answers as a
// printer that is off and writes nothing: the replay compares the call trace
// of the run with the recorded one and names that call.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "replay/calls.h"

namespace kreplay {

// One argument as the call passes it.
struct Passed {
  char kind = 't';
  const char *text = nullptr;  // t
  std::int32_t number = 0;     // i
  char character = 0;          // c
  std::int32_t *variable = nullptr;
  char *buffer = nullptr;  // b, p
  std::size_t width = 0;   // b, p: as the trace measures it
};

class Replay {
 public:
  explicit Replay(std::string library) : library_(std::move(library)) {}

  // The recorded calls of this library in the export call replayed next.
  void take(std::vector<MakerCall> calls);
  // The recorded call if the call made is it; nullptr when it is not (or no
  // more were recorded), and for every call after that.
  const MakerCall *match(const char *name, const std::vector<Passed> &passed);
  // Hands the recorded call's out values to the caller's variables and buffers.
  static void write_back(const MakerCall &call, const std::vector<Passed> &passed);
  int dead() const { return dead_answer(library_); }
  // The recorded text return kept until the next call, as the maker keeps it.
  const char *keep(const std::optional<std::string> &text);

 private:
  std::string library_;
  bool handed_ = false;
  bool diverged_ = false;
  std::vector<MakerCall> pending_;
  std::size_t next_ = 0;
  MakerCall current_;
  std::optional<std::string> kept_;
};

// One argument as passed, a buffer with the width the trace writer measures.
template <std::size_t I, typename Tuple>
Passed passed_arg(const Tuple &args, bool prefixed) {
  using T = std::tuple_element_t<I, Tuple>;
  Passed p;
  const T value = std::get<I>(args);
  if constexpr (std::is_same_v<T, const char *>) {
    p.text = value;
  } else if constexpr (std::is_same_v<T, std::int32_t>) {
    p.kind = 'i', p.number = value;
  } else if constexpr (std::is_same_v<T, char>) {
    p.kind = 'c', p.character = value;
  } else if constexpr (std::is_same_v<T, std::int32_t *>) {
    p.kind = 'v', p.variable = value;
  } else {
    p.kind = kalpo::seam::kind_letter<T>(prefixed), p.buffer = value;
    p.width = kalpo::seam::buffer_width<I>(args, prefixed);
  }
  return p;
}

template <typename Tuple, std::size_t... I>
std::vector<Passed> passed_args(const Tuple &args, [[maybe_unused]] bool prefixed, std::index_sequence<I...>) {
  return {passed_arg<I>(args, prefixed)...};
}

template <typename R, typename... A>
R answer(Replay &replay, const char *name, const std::tuple<A...> &args) {
  try {
    const bool prefixed = kalpo::seam::length_prefixed(name);
    const std::vector<Passed> passed = passed_args(args, prefixed, std::index_sequence_for<A...>{});
    if (const MakerCall *call = replay.match(name, passed)) {
      Replay::write_back(*call, passed);
      if constexpr (std::is_same_v<R, const char *>)
        return replay.keep(call->returned_text);
      else
        return static_cast<R>(call->returned);
    }
  } catch (...) {
  }
  if constexpr (std::is_same_v<R, const char *>)
    return nullptr;
  else
    return static_cast<R>(replay.dead());
}

}  // namespace kreplay
