// A request's headers and query, as the routes read them.
#include <algorithm>
#include <set>

#include "serve/http.h"

namespace kt::serve {
namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool same_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = lower(c);
  return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

std::string percent_decoded(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '+') {
      out += ' ';
    } else if (text[i] == '%' && i + 2 < text.size() && hex_digit(text[i + 1]) >= 0 && hex_digit(text[i + 2]) >= 0) {
      out += static_cast<char>(hex_digit(text[i + 1]) * 16 + hex_digit(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

// Each key=value of the query, decoded, in order; `visit` returns false to stop.
template <class Visit>
void each_parameter(const std::string &target, Visit visit) {
  const std::size_t mark = target.find('?');
  if (mark == std::string::npos) return;
  std::string_view rest = std::string_view(target).substr(mark + 1);
  while (!rest.empty()) {
    const std::size_t end = std::min(rest.find('&'), rest.size());
    const std::string_view pair = rest.substr(0, end);
    rest.remove_prefix(std::min(end + 1, rest.size()));
    if (pair.empty()) continue;
    const std::size_t equals = pair.find('=');
    const std::string value =
        equals == std::string_view::npos ? std::string() : percent_decoded(pair.substr(equals + 1));
    if (!visit(percent_decoded(pair.substr(0, equals)), value)) return;
  }
}

}  // namespace

std::string Request::header(std::string_view name) const {
  for (const auto &[key, value] : headers)
    if (same_name(key, name)) return value;
  return {};
}

bool Request::has_header(std::string_view name) const { return header_count(name) > 0; }

std::size_t Request::header_count(std::string_view name) const {
  return static_cast<std::size_t>(
      std::count_if(headers.begin(), headers.end(), [&](const auto &field) { return same_name(field.first, name); }));
}

std::string Request::path() const { return target.substr(0, target.find('?')); }

std::string Request::query(std::string_view key) const {
  std::string found;
  each_parameter(target, [&](const std::string &name, const std::string &value) {
    if (name != key) return true;
    found = value;
    return false;
  });
  return found;
}

bool Request::has_query(std::string_view key) const {
  bool found = false;
  each_parameter(target, [&](const std::string &name, const std::string &) { return !(found = name == key); });
  return found;
}

std::string Request::repeated_query() const {
  std::set<std::string> seen;
  std::string repeated;
  each_parameter(target, [&](const std::string &name, const std::string &) {
    if (!seen.insert(name).second) repeated = name.empty() ? "(an empty name)" : name;
    return repeated.empty();
  });
  return repeated;
}

}  // namespace kt::serve
