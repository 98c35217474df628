// The workstation in the call trace.  While an export call is recorded, what
// KALPO reads of the workstation (clock, regional settings, configuration,
// files on drive C, the monotonic clock and waits) is recorded as steps of the
// call.  In a replay (KALPO_REPLAY_WORKSTATION naming an answers file, which
// the replay rewrites before every export call) the workstation answers from
// that file instead, and nothing on the workstation is read, written or
// removed: a trace from a store replays with the store's clock, regional
// settings and configuration on any machine.
#include <charconv>
#include <cstdio>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/answer_lines.h"
#include "entry/trace_json.h"
#include "platform/platform.h"

namespace kalpo::entry::trace {

void maker_step(const std::string &step);

namespace {

std::string two(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

std::string clock_text(const platform::DateTime &t) {
  return std::to_string(t.year) + '-' + two(t.month) + '-' + two(t.day) + 'T' + two(t.hour) + ':' + two(t.minute) +
         ':' + two(t.second);
}

std::string step(std::string_view kind, const std::string &args, const std::string &returned) {
  std::string out = "{\"platform\":\"" + std::string(kind) + '"';
  if (!args.empty()) out += ",\"args\":[" + args + ']';
  if (!returned.empty()) out += ",\"return\":" + returned;
  return out + '}';
}

// Records every reading of the platform it wraps; answers as that platform.
class Recording final : public platform::Platform {
 public:
  explicit Recording(platform::Platform &inner) : inner_(inner) {}

  std::string profile_string(std::string_view file, std::string_view section, std::string_view key,
                             std::string_view fallback) override {
    std::string value = inner_.profile_string(file, section, key, fallback);
    note("profile", json::text(file) + ',' + json::text(section) + ',' + json::text(key) + ',' + json::text(fallback),
         json::text(value));
    return value;
  }
  void begin_call() override { inner_.begin_call(); }
  void end_call() override { inner_.end_call(); }
  platform::DateTime now() override {
    platform::DateTime t = inner_.now();
    note("clock", {}, json::string(clock_text(t)));
    return t;
  }
  // The same regional settings read again within a call are recorded once.
  const platform::Regional &regional() override {
    const platform::Regional &r = inner_.regional();
    std::string settings = "{\"decimal\":" + json::text(r.decimal) + ",\"thousands\":" + json::text(r.thousands) +
                           ",\"short_date\":" + json::text(r.short_date) + '}';
    if (settings == last_regional_) return r;
    note("regional", {}, settings);
    last_regional_ = std::move(settings);
    return r;
  }
  int32_t show_message(int32_t form, std::string_view text, const char *caption, uint32_t flags) override {
    return inner_.show_message(form, text, caption, flags);
  }
  void release_input_block() override { inner_.release_input_block(); }
  bool file_exists(std::string_view path) override { return on_file("file_exists", path, inner_.file_exists(path)); }
  bool remove_file(std::string_view path) override { return on_file("remove_file", path, inner_.remove_file(path)); }
  bool read_file(std::string_view path, std::string &contents) override {
    bool answer = inner_.read_file(path, contents);
    note("read_file", json::text(path), answer ? json::text(contents) : "null");
    return answer;
  }
  bool create_directories(std::string_view path) override {
    return on_file("create_directories", path, inner_.create_directories(path));
  }
  int64_t file_size(std::string_view path) override {
    int64_t answer = inner_.file_size(path);
    note("file_size", json::text(path), std::to_string(answer));
    return answer;
  }
  std::string setting(std::string_view name) override { return inner_.setting(name); }
  void sleep_ms(uint32_t ms) override {
    note("sleep", std::to_string(ms), {});
    inner_.sleep_ms(ms);
  }
  uint64_t ticks_ms() override {
    uint64_t answer = inner_.ticks_ms();
    note("ticks", {}, std::to_string(answer));
    return answer;
  }

 private:
  bool on_file(std::string_view kind, std::string_view path, bool answer) {
    note(kind, json::text(path), answer ? "true" : "false");
    return answer;
  }

  void note(std::string_view kind, const std::string &args, const std::string &returned) {
    try {
      maker_step(step(kind, args, returned));
    } catch (...) {
    }
  }

  platform::Platform &inner_;
  std::string last_regional_;  // the settings recorded last
};

using Answer = base::AnswerLine;

template <typename T>
bool number_of(const std::string &text, T &value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

// Answers the workstation's readings from the answers file of the export
// call, each kind in its recorded order.  A reading with no answer left gets
// the answer of a workstation with nothing on it (no configuration file, no
// files), the real clock and regional settings; the monotonic clock then runs
// on by the waits asked for, which are never waited.
class Answering final : public platform::Platform {
 public:
  Answering(platform::Platform &inner, std::string file) : inner_(inner), file_(std::move(file)) {}
  platform::Platform &inner() { return inner_; }

  std::string profile_string(std::string_view, std::string_view, std::string_view, std::string_view fallback) override {
    const Answer *a = next("profile", 1);
    return a ? a->fields[0] : std::string(fallback);
  }
  void begin_call() override {
    load();
    inner_.begin_call();
  }
  void end_call() override { inner_.end_call(); }
  platform::DateTime now() override {
    const Answer *a = next("clock", 6);
    platform::DateTime t;
    if (a && number_of(a->fields[0], t.year) && number_of(a->fields[1], t.month) && number_of(a->fields[2], t.day) &&
        number_of(a->fields[3], t.hour) && number_of(a->fields[4], t.minute) && number_of(a->fields[5], t.second))
      return t;
    return inner_.now();
  }
  const platform::Regional &regional() override {
    if (const Answer *a = next("regional", 3)) regional_ = platform::Regional{a->fields[0], a->fields[1], a->fields[2]};
    return regional_ ? *regional_ : inner_.regional();
  }
  int32_t show_message(int32_t form, std::string_view text, const char *caption, uint32_t flags) override {
    return inner_.show_message(form, text, caption, flags);
  }
  void release_input_block() override {}
  bool file_exists(std::string_view) override { return yes("file_exists"); }
  bool remove_file(std::string_view) override { return yes("remove_file"); }
  bool read_file(std::string_view, std::string &contents) override {
    const Answer *a = next("read_file", 0);
    if (!a || a->fields.empty()) return false;
    contents = a->fields[0];
    return true;
  }
  bool create_directories(std::string_view) override { return yes("create_directories"); }
  int64_t file_size(std::string_view) override {
    const Answer *a = next("file_size", 1);
    int64_t size = -1;
    return a && number_of(a->fields[0], size) ? size : -1;
  }
  std::string setting(std::string_view name) override { return inner_.setting(name); }
  void sleep_ms(uint32_t ms) override {
    next("sleep", 0);
    ticks_ += ms;
  }
  uint64_t ticks_ms() override {
    const Answer *a = next("ticks", 1);
    if (a) number_of(a->fields[0], ticks_);
    return ticks_;
  }

 private:
  void load() {
    answers_.clear();
    regional_.reset();
    std::FILE *in = std::fopen(file_.c_str(), "rb");
    if (!in) return;
    std::string line;
    for (int c; (c = std::fgetc(in)) != EOF;) {
      if (c != '\n') {
        line += static_cast<char>(c);
        continue;
      }
      answers_.push_back(base::parse_answer_line(line));
      line.clear();
    }
    std::fclose(in);
  }

  // The next answer of this kind with at least `fields` fields, taken.
  const Answer *next(std::string_view kind, std::size_t fields) {
    for (auto it = answers_.begin(); it != answers_.end(); ++it) {
      if (it->kind != kind) continue;
      taken_ = std::move(*it);
      answers_.erase(it);
      return taken_.fields.size() >= fields ? &taken_ : nullptr;
    }
    return nullptr;
  }

  bool yes(std::string_view kind) {
    const Answer *a = next(kind, 1);
    return a && a->fields[0] == "1";
  }

  platform::Platform &inner_;
  std::string file_;
  std::deque<Answer> answers_;
  Answer taken_;
  std::optional<platform::Regional> regional_;
  uint64_t ticks_ = 0;
};

}  // namespace

platform::Platform &recording_platform(platform::Platform &inner) {
  static std::optional<Recording> recording;
  return recording.emplace(inner);
}

namespace {
std::optional<Answering> g_answering;
}  // namespace

platform::Platform &workstation() {
  return g_answering && &platform::get() == &*g_answering ? g_answering->inner() : platform::get();
}

void answer_workstation_from(const char *answers_file) {
  platform::Platform &inner = workstation();
  platform::install(&g_answering.emplace(inner, answers_file));
}

}  // namespace kalpo::entry::trace
