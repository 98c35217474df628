// Journal records: one line each, "<crc32 hex> <length> <payload>\n", the
// payload being the command's fields, tab-separated, with backslash escapes
// for backslash, tab, line feed and carriage return.
#include <array>

#include "core/internal.h"

namespace ksim {
namespace {

constexpr std::array<std::uint32_t, 256> make_crc_table() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[i] = c;
  }
  return table;
}
constexpr auto kCrcTable = make_crc_table();

void escape_into(std::string &out, std::string_view field) {
  for (char c : field) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
}

// Splits the payload into unescaped fields; false on a bad escape.
bool split_fields(std::string_view payload, std::vector<std::string> &fields) {
  fields.assign(1, {});
  for (std::size_t i = 0; i < payload.size(); ++i) {
    char c = payload[i];
    if (c == '\t') {
      fields.emplace_back();
    } else if (c != '\\') {
      fields.back() += c;
    } else if (++i < payload.size()) {
      char e = payload[i];
      if (e == '\\')
        fields.back() += '\\';
      else if (e == 't')
        fields.back() += '\t';
      else if (e == 'n')
        fields.back() += '\n';
      else if (e == 'r')
        fields.back() += '\r';
      else
        return false;
    } else {
      return false;
    }
  }
  return true;
}

std::string hex8(std::uint32_t value) {
  const char *digits = "0123456789abcdef";
  std::string text(8, '0');
  for (int i = 7; i >= 0; --i, value >>= 4) text[i] = digits[value & 15];
  return text;
}

}  // namespace

std::uint32_t crc32(std::string_view data) {
  std::uint32_t c = 0xFFFFFFFFu;
  for (unsigned char byte : data) c = kCrcTable[(c ^ byte) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

std::string encode_fields(const std::vector<std::string> &fields) {
  std::string payload;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) payload += '\t';
    escape_into(payload, fields[i]);
  }
  return hex8(crc32(payload)) + " " + number(static_cast<std::int64_t>(payload.size())) + " " + payload + "\n";
}

std::string decode_fields(std::string_view line, std::vector<std::string> &fields) {
  std::size_t space1 = line.find(' ');
  std::size_t space2 = space1 == std::string_view::npos ? space1 : line.find(' ', space1 + 1);
  if (space1 != 8 || space2 == std::string_view::npos) return "not a record";
  std::int64_t length = 0;
  if (!parse_int(line.substr(9, space2 - 9), length) || length < 0) return "bad length";
  std::string_view payload = line.substr(space2 + 1);
  if (static_cast<std::int64_t>(payload.size()) != length) return "length does not match";
  if (hex8(crc32(payload)) != line.substr(0, 8)) return "checksum does not match";
  if (!split_fields(payload, fields)) return "bad fields";
  return {};
}

std::string encode_record(const Command &command) {
  std::vector<std::string> fields = {command.function, command.op, number(command.when)};
  fields.insert(fields.end(), command.args.begin(), command.args.end());
  return encode_fields(fields);
}

std::string journal_record(std::string function, std::string op, std::int64_t when, std::vector<std::string> args) {
  return encode_record({std::move(function), std::move(op), when, std::move(args)});
}

std::string decode_record(std::string_view line, Command &command) {
  std::vector<std::string> fields;
  if (std::string why = decode_fields(line, fields); !why.empty()) return why;
  if (fields.size() < 3) return "bad fields";
  command.function = fields[0];
  command.op = fields[1];
  if (!parse_int(fields[2], command.when)) return "bad time";
  command.args.assign(fields.begin() + 3, fields.end());
  return {};
}

std::uint32_t record_crc(std::string_view line) {
  std::uint32_t crc = 0;
  for (char c : line.substr(0, 8)) crc = crc << 4 | static_cast<std::uint32_t>(c <= '9' ? c - '0' : c - 'a' + 10);
  return crc;
}

// The header is "<8 hex digits> <length> ": a text that stops inside it, or
// inside the payload it announces, was cut while being written.
Tail tail_kind(std::string_view text) {
  std::size_t i = 0;
  for (; i < text.size() && i < 8; ++i)
    if (!((text[i] >= '0' && text[i] <= '9') || (text[i] >= 'a' && text[i] <= 'f'))) return Tail::damaged;
  if (i == text.size()) return Tail::torn;
  if (text[i++] != ' ') return Tail::damaged;
  std::size_t digits = i;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
  if (i == text.size()) return Tail::torn;
  std::int64_t length = 0;
  if (text[i] != ' ' || !parse_int(text.substr(digits, i - digits), length)) return Tail::damaged;
  std::size_t payload = text.size() - i - 1;
  if (static_cast<std::int64_t>(payload) < length) return Tail::torn;
  Command ignored;
  return decode_record(text, ignored).empty() ? Tail::complete : Tail::damaged;
}

}  // namespace ksim
