#include "makers/message_code.h"

#include <optional>
#include <string_view>

#include "base/ascii.h"
#include "frame/own_texts.h"
#include "makers/code_texts.h"

namespace kalpo::makers {
namespace {

using base::MessageCode;
using frame::own::Follows;

struct Match {
  std::string_view text;
  MessageCode kind = MessageCode::other;
  Follows follows = Follows::nothing;
};

// The exact entry of a text, and the longest entry it begins with.
class Finder {
 public:
  explicit Finder(std::string_view text) : text_(text) {}

  void offer(std::string_view entry, MessageCode kind, Follows follows = Follows::nothing) {
    if (entry.empty()) return;
    if (entry == text_) {
      exact_ = Match{entry, kind, follows};
    } else if (text_.starts_with(entry) && entry.size() > longest_.text.size()) {
      longest_ = Match{entry, kind, follows};
    }
  }
  template <typename Table>
  void offer_all(const Table &table) {
    for (const auto &e : table) offer(e.text, e.kind);
  }

  std::optional<Match> exact() const { return exact_; }
  std::optional<Match> longest() const {
    if (longest_.text.empty()) return std::nullopt;
    return longest_;
  }

 private:
  std::string_view text_;
  std::optional<Match> exact_;
  Match longest_;
};

Finder find(std::string_view text) {
  Finder f(text);
  for (const frame::own::Text *t : frame::own::all()) f.offer(t->text, t->kind, t->follows);
  f.offer_all(tables::bematech_status_bits());
  f.offer_all(tables::bematech_returns());
  for (auto table :
       {tables::daruma_errors(), tables::sigtron_errors(), tables::epson_field_errors(), tables::epson_ports(),
        tables::epson_results(), tables::ecf32m_returns(), tables::minus_codes(), tables::dllg2_errors()})
    f.offer_all(table);
  return f;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The number at the front of a text, and what follows it.
std::string_view number_part(std::string_view text) {
  std::size_t end = !text.empty() && text.front() == '-' ? 1 : 0;
  while (end < text.size() && is_digit(text[end])) ++end;
  return text.substr(0, end);
}

// The code of a command-driver error number, when it has an entry.
std::optional<MessageCode> driver_code(std::string_view number) {
  const auto code = base::ascii::parse_integer<int32_t>(number);
  if (!code) return std::nullopt;
  const CodeText *entry = find_entry(tables::dllg2_errors(), *code);
  if (!entry) return std::nullopt;
  return entry->kind;
}

// What a leading entry's continuation tells, if anything.
std::optional<MessageCode> continued(Follows follows, std::string_view rest) {
  const std::string_view number = number_part(rest);
  if (follows == Follows::driver_number) return number.size() == rest.size() ? driver_code(number) : std::nullopt;
  if (follows != Follows::number_and_text) return std::nullopt;
  rest.remove_prefix(number.size());
  if (rest.starts_with("\r\n")) rest.remove_prefix(2);
  if (rest.empty()) return std::nullopt;
  const MessageCode inner = message_code(rest);
  if (inner == MessageCode::other) return std::nullopt;
  return inner;
}

}  // namespace

MessageCode message_code(std::string_view text) {
  const Finder f = find(text);
  if (auto m = f.exact()) return m->kind;
  // The command driver's error number shown alone.
  if (!text.empty() && number_part(text).size() == text.size()) return driver_code(text).value_or(MessageCode::other);
  const auto m = f.longest();
  if (!m) return MessageCode::other;
  return continued(m->follows, text.substr(m->text.size())).value_or(m->kind);
}

}  // namespace kalpo::makers
