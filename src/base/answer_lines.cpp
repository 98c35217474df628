#include "base/answer_lines.h"

namespace kalpo::base {

std::string answer_line(const AnswerLine &answer) {
  std::string out = answer.kind;
  for (const std::string &field : answer.fields) {
    out += '\t';
    for (char c : field) {
      switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\0': out += "\\0"; break;
        default: out += c;
      }
    }
  }
  return out + '\n';
}

namespace {

std::string unescaped(std::string_view field) {
  std::string out;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '\\' || i + 1 == field.size()) {
      out += field[i];
      continue;
    }
    const char c = field[++i];
    out += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c == '0' ? '\0' : c;
  }
  return out;
}

}  // namespace

AnswerLine parse_answer_line(std::string_view line) {
  AnswerLine a;
  std::size_t start = 0;
  for (bool first = true;; first = false) {
    const std::size_t tab = line.find('\t', start);
    const std::string_view piece = line.substr(start, tab == std::string_view::npos ? line.npos : tab - start);
    if (first)
      a.kind.assign(piece);
    else
      a.fields.push_back(unescaped(piece));
    if (tab == std::string_view::npos) return a;
    start = tab + 1;
  }
}

}  // namespace kalpo::base
