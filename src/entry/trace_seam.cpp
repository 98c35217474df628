// The tracing table of the maker seam, generated from the list of maker
// functions: each entry records the call with its arguments, its return and
// the out values the maker wrote, then hands them back unchanged from the
// table that was in use when the export call began.
#include <array>
#include <cstring>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>

#include "entry/trace.h"
#include "entry/trace_json.h"
#include "seam/arg_kinds.h"
#include "seam/seam.h"

namespace kalpo::entry::trace {

void maker_step(const std::string &step);
const seam::Api *inner_table();

namespace {

// The value of one argument after the call.  A buffer is recorded as KALPO
// reads it (up to its first zero within its width) with that width.
std::string value(const char *text, std::size_t, bool) { return text ? json::text(text) : "null"; }
std::string value(std::int32_t number, std::size_t, bool) { return std::to_string(number); }
std::string value(char character, std::size_t, bool) { return json::text(std::string_view(&character, 1)); }
std::string value(std::int32_t *var, std::size_t, bool) {
  return "{\"out\":" + (var ? std::to_string(*var) : std::string("null")) + "}";
}
std::string value(char *buffer, std::size_t width, bool length_prefixed) {
  const std::string size = ",\"size\":" + std::to_string(width) + "}";
  if (!buffer) return "{\"out\":null" + size;
  std::string_view written(buffer, strnlen(buffer, width));
  // One length byte, then up to 255 characters.
  if (length_prefixed) written = std::string_view(buffer + 1, static_cast<unsigned char>(buffer[0]));
  return "{\"out\":" + json::text(written) + size;
}

template <typename F>
struct Traced;

template <typename R, typename... A>
struct Traced<R (*)(A...)> {
  const char *name;
  R (*call)(A...);

  R operator()(A... args) const {
    const std::tuple<A...> all(args...);
    const bool prefixed = seam::length_prefixed(name);
    const auto widths = measure(all, prefixed, std::index_sequence_for<A...>{});
    R returned = call(args...);
    try {
      record(all, widths, prefixed, returned, std::index_sequence_for<A...>{});
    } catch (...) {
    }
    return returned;
  }

  template <std::size_t... I>
  static std::array<std::size_t, sizeof...(A)> measure(const std::tuple<A...> &all, [[maybe_unused]] bool prefixed,
                                                       std::index_sequence<I...>) {
    return {seam::buffer_width<I>(all, prefixed)...};
  }

  template <std::size_t... I>
  void record(const std::tuple<A...> &all, const std::array<std::size_t, sizeof...(A)> &widths,
              [[maybe_unused]] bool prefixed, R returned, std::index_sequence<I...>) const {
    const std::string kinds{seam::kind_letter<A>(prefixed)...};
    // The member keeps its name "vendor": trace files already written, and
    // the tool that shows and replays them, read it so.
    std::string step = "{\"vendor\":" + json::string(name) + ",\"kinds\":\"" + kinds + "\",\"args\":[";
    std::size_t count = 0;
    ((step += (count++ ? "," : "") + value(std::get<I>(all), widths[I], prefixed)), ...);
    step += "],\"return\":" + value(returned, 0, false) + "}";
    maker_step(step);
  }
};

template <typename F>
Traced(const char *, F) -> Traced<F>;

#define KALPO_TRACED_WRAPPER(ret, name, params, args) \
  ret traced_##name params { return Traced{#name, inner_table()->name} args; }
#define KALPO_MAKER_EACH KALPO_TRACED_WRAPPER
#include "seam/maker_list.h"
#undef KALPO_TRACED_WRAPPER

const seam::Api kTraced = {
#define KALPO_TRACED_SLOT(ret, name, params, args) &traced_##name,
#define KALPO_MAKER_EACH KALPO_TRACED_SLOT
#include "seam/maker_list.h"
#undef KALPO_TRACED_SLOT
};

}  // namespace

const seam::Api &traced_table() { return kTraced; }

}  // namespace kalpo::entry::trace
