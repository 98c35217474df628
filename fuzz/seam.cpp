#include "seam.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <tuple>
#include <type_traits>

#include "seam/seam.h"

namespace kalpo::platform {
Platform &real();  // the workstation's platform
}  // namespace kalpo::platform

namespace kalpo::fuzz {
namespace {

FuzzedDataProvider *g_data = nullptr;
std::string g_returned_text;  // a text returned by pointer, alive until the next one

// The real platform, except that waits only advance a clock of its own.
class NoWaitPlatform final : public platform::Platform {
 public:
  platform::Platform &real = platform::real();
  uint64_t clock = 0;

  std::string profile_string(std::string_view file, std::string_view section, std::string_view key,
                             std::string_view fallback) override {
    return real.profile_string(file, section, key, fallback);
  }
  void begin_call() override { real.begin_call(); }
  void end_call() override { real.end_call(); }
  platform::DateTime now() override { return {2026, 12, 7, 14, 5, 9}; }
  const platform::Regional &regional() override { return real.regional(); }
  int32_t show_message(int32_t, std::string_view, const char *, uint32_t) override { return 1; }
  void release_input_block() override {}
  bool file_exists(std::string_view path) override { return real.file_exists(path); }
  bool remove_file(std::string_view path) override { return real.remove_file(path); }
  bool read_file(std::string_view path, std::string &contents) override { return real.read_file(path, contents); }
  bool create_directories(std::string_view path) override { return real.create_directories(path); }
  int64_t file_size(std::string_view path) override { return real.file_size(path); }
  void sleep_ms(uint32_t ms) override { clock += ms; }
  uint64_t ticks_ms() override { return clock; }
};

// How many bytes a maker may write into a buffer argument.
std::size_t capacity(std::string_view function, char *buffer) {
  if (function == "DAR_Resposta") return 100;  // the caller's buffer holds at least 100
  if (function == "ObtemRetorno") return 256;  // length byte and 255 characters
  if (function == "DLLG2_Retorno") return 51;  // 50 characters and the zero
  return std::strlen(buffer) + 1;              // the blanks up to the terminating zero
}

void fill(std::string_view function, char *buffer) {
  if (!buffer) violated("a null buffer handed to a maker's library");
  const std::size_t room = capacity(function, buffer);
  const std::string bytes = g_data->ConsumeBytesAsString(g_data->ConsumeIntegralInRange<std::size_t>(0, room));
  std::memcpy(buffer, bytes.data(), bytes.size());
  if (bytes.size() < room && g_data->ConsumeBool()) buffer[bytes.size()] = '\0';
}

void fill(std::string_view, int32_t *var) {
  if (!var) violated("a null var handed to a maker's library");
  *var = g_data->ConsumeIntegral<int32_t>();
}

template <typename T>
void fill(std::string_view, T) {}

int32_t any_integer() {
  // Small codes are the interesting ones; sometimes any 32-bit value.
  return g_data->ConsumeBool() ? g_data->ConsumeIntegralInRange<int32_t>(-110, 1010)
                               : g_data->ConsumeIntegral<int32_t>();
}

template <typename R, typename... A>
R answer(const char *function, A... args) {
  (fill(function, args), ...);
  if constexpr (std::is_pointer_v<R>) {
    if (g_data->ConsumeBool()) return nullptr;
    g_returned_text = g_data->ConsumeRandomLengthString(64);
    return g_returned_text.c_str();
  } else {
    return any_integer();
  }
}

#define KALPO_FUZZ_FUNCTION(ret, name, params, args)                                             \
  ret fuzz_##name params {                                                                       \
    return std::apply([](auto... a) { return answer<ret>(#name, a...); }, std::make_tuple args); \
  }
#define KALPO_MAKER_EACH KALPO_FUZZ_FUNCTION
#include "seam/maker_list.h"
#undef KALPO_FUZZ_FUNCTION

seam::Api make_table() {
  seam::Api api{};
#define KALPO_FUZZ_SLOT(ret, name, params, args) api.name = &fuzz_##name;
#define KALPO_MAKER_EACH KALPO_FUZZ_SLOT
#include "seam/maker_list.h"
#undef KALPO_FUZZ_SLOT
  return api;
}

std::filesystem::path drive_c() {
  static const std::filesystem::path folder = [] {
    char name[] = "/tmp/kalpo-fuzz-XXXXXX";
    if (!mkdtemp(name)) std::abort();
    std::filesystem::create_directories(std::filesystem::path(name) / "zantrello" / "configs");
    setenv("KALPO_DRIVE_C", name, 1);
    setenv("LANG", "pt_BR.UTF-8", 1);
    return std::filesystem::path(name);
  }();
  return folder;
}

}  // namespace

void answer_from(FuzzedDataProvider &data) {
  static const seam::Api table = make_table();
  static NoWaitPlatform host;
  drive_c();
  seam::install(&table);
  platform::install(&host);
  g_data = &data;
}

void write_configuration(const std::string &contents) {
  std::ofstream(drive_c() / "zantrello" / "configs" / "kalpo.ini", std::ios::binary | std::ios::trunc) << contents;
}

void violated(const char *what) {
  std::fprintf(stderr, "invariant violated: %s\n", what);
  std::abort();
}

}  // namespace kalpo::fuzz
