// The recording seam for tests: a maker table and a platform that write
// every maker call and every operator message into one transcript, and answer
// as each test scripts them.
//
// Transcript lines (texts in UTF-8, CR and LF shown as \r and \n):
//   Bematech_FI_AbreCupom("123")        a maker call, arguments as passed
//   notice: text                         a notice
//   dialog: text                         a typed dialog, information, OK
//   confirm: text                        a typed dialog, Yes and No
//   box[Erro/16]: text                   a captioned box with caption and flags
//   BlockInput(FALSE)                    the release of the input block
//   Sleep(1000)                          a wait
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <variant>
#include <vector>

#include "platform/platform.h"
#include "seam/seam.h"

namespace kalpo::test {

using Arg = std::variant<const char *, char *, int32_t, int32_t *, char>;

struct Call {
  std::string name;
  std::vector<Arg> args;
  int calls = 0;             // how many calls of this name came before
  int32_t result = 0;        // the integer the call returns
  std::string result_text;   // the text a pointer-returning call returns
  bool null_result = false;  // a pointer-returning call returns null instead

  // Writes text into the character buffer of argument i, with a terminating
  // zero when `terminate`.
  void write(std::size_t i, std::string_view text, bool terminate = true);
  void set_int(std::size_t i, int32_t value);
  const char *text(std::size_t i) const;
  int32_t integer(std::size_t i) const;
};

class Fake final : public platform::Platform {
 public:
  Fake();
  ~Fake() override;
  Fake(const Fake &) = delete;
  Fake &operator=(const Fake &) = delete;

  // ---- scripting the makers' libraries ----
  using Handler = std::function<void(Call &)>;
  void on(const std::string &name, Handler handler);
  void returns(const std::string &name, int32_t value);
  // Successive results; the last one repeats.
  void returns(const std::string &name, std::vector<int32_t> values);
  // The call writes text into argument i and returns result.
  void writes(const std::string &name, std::size_t i, std::string text, int32_t result);

  // ---- the transcript ----
  std::vector<std::string> lines;
  // The lines, without clearing.
  const std::vector<std::string> &transcript() const { return lines; }
  void clear() { lines.clear(); }

  // ---- the platform ----
  std::map<std::string, std::string> config;  // keys of section "ECF"
  bool config_file = true;                    // whether kalpo.ini exists
  std::map<std::string, std::string> files;   // by lower-case Windows path
  platform::DateTime clock{2026, 12, 7, 14, 5, 9};
  platform::Regional settings = brazil();
  int32_t confirm_answer = 6;  // the operator's answer to a confirmation
  uint64_t ticks = 0;

  static platform::Regional brazil() { return {",", ".", "dd/MM/yyyy"}; }
  static platform::Regional united_states() { return {".", ",", "M/d/yyyy"}; }

  std::string profile_string(std::string_view file, std::string_view section, std::string_view key,
                             std::string_view fallback) override;
  platform::DateTime now() override { return clock; }
  const platform::Regional &regional() override { return settings; }
  int32_t show_message(int32_t form, std::string_view text, const char *caption, uint32_t flags) override;
  void release_input_block() override { lines.push_back("BlockInput(FALSE)"); }
  bool file_exists(std::string_view path) override;
  bool remove_file(std::string_view path) override;
  bool read_file(std::string_view path, std::string &contents) override;
  bool create_directories(std::string_view path) override;
  int64_t file_size(std::string_view path) override;
  void sleep_ms(uint32_t ms) override;
  uint64_t ticks_ms() override { return ticks; }

  std::vector<std::string> created_directories;

  // Used by the generated maker functions.
  static Fake &current();
  Call &dispatch(const char *name, std::vector<Arg> args);
  const char *keep(std::string text);

 private:
  std::map<std::string, Handler> handlers_;
  std::map<std::string, int> counts_;
  std::deque<std::string> kept_;
  seam::Api api_{};
  std::deque<Call> calls_;
};

// Formats a text for the transcript (Windows-1252 in, UTF-8 out, escapes).
std::string shown(std::string_view cp1252);
// A UTF-8 test literal as the Windows-1252 text the library uses.
std::string cp(std::string_view utf8);

}  // namespace kalpo::test
