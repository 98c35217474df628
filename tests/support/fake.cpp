#include "support/fake.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "base/ascii.h"
#include "base/cp1252.h"
#include "frame/state.h"

namespace kalpo::test {
namespace {

Fake *active = nullptr;

std::string lower(std::string_view s) {
  std::string out = base::ascii::lower(s);
  std::replace(out.begin(), out.end(), '/', '\\');
  return out;
}

std::string format_arg(const Arg &arg) {
  struct {
    std::string operator()(const char *s) const { return s ? "\"" + shown(s) + "\"" : "null"; }
    std::string operator()(char *s) const {
      if (!s) return "null";
      return "\"" + shown(std::string_view(s, strnlen(s, 512))) + "\"";
    }
    std::string operator()(int32_t n) const { return std::to_string(n); }
    std::string operator()(int32_t *p) const { return p ? "&" + std::to_string(*p) : "null"; }
    std::string operator()(char c) const { return "'" + shown(std::string(1, c)) + "'"; }
  } visitor;
  return std::visit(visitor, arg);
}

template <typename R>
R result_of(Call &call) {
  if constexpr (std::is_pointer_v<R>) {
    return call.null_result ? nullptr : Fake::current().keep(call.result_text);
  } else {
    return call.result;
  }
}

template <typename T>
Arg to_arg(T value) {
  return Arg(value);
}

#define KALPO_FAKE_FUNCTION(ret, name, params, args)                                                             \
  ret fake_##name params {                                                                                       \
    auto arguments = std::apply([](auto... a) { return std::vector<Arg>{to_arg(a)...}; }, std::make_tuple args); \
    return result_of<ret>(Fake::current().dispatch(#name, std::move(arguments)));                                \
  }
#define KALPO_MAKER_EACH KALPO_FAKE_FUNCTION
#include "seam/maker_list.h"
#undef KALPO_FAKE_FUNCTION

}  // namespace

void Call::write(std::size_t i, std::string_view text, bool terminate) {
  char *buffer = std::get<char *>(args.at(i));
  std::memcpy(buffer, text.data(), text.size());
  if (terminate) buffer[text.size()] = '\0';
}

void Call::set_int(std::size_t i, int32_t value) { *std::get<int32_t *>(args.at(i)) = value; }

const char *Call::text(std::size_t i) const {
  if (const auto *p = std::get_if<const char *>(&args.at(i))) return *p;
  return std::get<char *>(args.at(i));
}

int32_t Call::integer(std::size_t i) const { return std::get<int32_t>(args.at(i)); }

Fake::Fake() {
#define KALPO_FAKE_SLOT(ret, name, params, args) api_.name = &fake_##name;
#define KALPO_MAKER_EACH KALPO_FAKE_SLOT
#include "seam/maker_list.h"
#undef KALPO_FAKE_SLOT
  active = this;
  frame::reset_state();
  seam::install(&api_);
  platform::install(this);
}

Fake::~Fake() {
  seam::install(nullptr);
  platform::install(nullptr);
  frame::reset_state();
  active = nullptr;
}

Fake &Fake::current() {
  if (!active) throw std::logic_error("no fake installed");
  return *active;
}

void Fake::on(const std::string &name, Handler handler) { handlers_[name] = std::move(handler); }

void Fake::returns(const std::string &name, int32_t value) {
  on(name, [value](Call &c) { c.result = value; });
}

void Fake::returns(const std::string &name, std::vector<int32_t> values) {
  on(name, [values](Call &c) {
    c.result = values.at(std::min<std::size_t>(static_cast<std::size_t>(c.calls), values.size() - 1));
  });
}

void Fake::writes(const std::string &name, std::size_t i, std::string text, int32_t result) {
  on(name, [i, text, result](Call &c) {
    c.write(i, text);
    c.result = result;
  });
}

Call &Fake::dispatch(const char *name, std::vector<Arg> args) {
  std::string line = name;
  line += '(';
  for (std::size_t i = 0; i < args.size(); ++i) line += (i ? ", " : "") + format_arg(args[i]);
  line += ')';
  lines.push_back(line);
  Call &call = calls_.emplace_back();
  call.name = name;
  call.args = std::move(args);
  call.calls = counts_[name]++;
  if (auto it = handlers_.find(name); it != handlers_.end()) it->second(call);
  return call;
}

const char *Fake::keep(std::string text) { return kept_.emplace_back(std::move(text)).c_str(); }

std::string Fake::profile_string(std::string_view file, std::string_view section, std::string_view key,
                                 std::string_view fallback) {
  if (!config_file || lower(file) != "c:\\zantrello\\configs\\kalpo.ini" || lower(section) != "ecf") {
    return std::string(fallback);
  }
  for (const auto &[k, v] : config) {
    if (lower(k) == lower(key)) return v;
  }
  return std::string(fallback);
}

int32_t Fake::show_message(int32_t form, std::string_view text, const char *caption, uint32_t flags) {
  std::string t = shown(text);
  if (form == 0) {
    lines.push_back("notice: " + t);
  } else if (form == 1 && flags == 0x24) {
    lines.push_back("confirm: " + t);
    return confirm_answer;
  } else if (form == 1) {
    lines.push_back("dialog: " + t);
  } else {
    lines.push_back("box[" + shown(caption ? caption : "") + "/" + std::to_string(flags) + "]: " + t);
  }
  return 1;
}

bool Fake::file_exists(std::string_view path) { return files.count(lower(path)) > 0; }

bool Fake::remove_file(std::string_view path) { return files.erase(lower(path)) > 0; }

bool Fake::read_file(std::string_view path, std::string &contents) {
  auto it = files.find(lower(path));
  if (it == files.end()) return false;
  contents = it->second;
  return true;
}

bool Fake::create_directories(std::string_view path) {
  created_directories.push_back(std::string(path));
  return true;
}

int64_t Fake::file_size(std::string_view path) {
  auto it = files.find(lower(path));
  return it == files.end() ? -1 : static_cast<int64_t>(it->second.size());
}

void Fake::sleep_ms(uint32_t ms) {
  lines.push_back("Sleep(" + std::to_string(ms) + ")");
  ticks += ms;
}

std::string shown(std::string_view cp1252) {
  std::string utf8 = base::cp1252::to_utf8(cp1252);
  std::string out;
  for (char c : utf8) {
    if (c == '\r')
      out += "\\r";
    else if (c == '\n')
      out += "\\n";
    else if (c == '\0')
      out += "\\0";
    else
      out += c;
  }
  return out;
}

std::string cp(std::string_view utf8) { return base::cp1252::from_utf8(utf8); }

}  // namespace kalpo::test
