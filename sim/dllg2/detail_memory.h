// The printer's detail memory: every fiscal coupon, its items and payments,
// kept as one durable value of the printer per coupon ("mfd." + the COO in
// nine digits), written when the coupon is closed or cancelled.  The fiscal
// file generator (DLLG2_Gerador) reads it back.  Header-only: both
// libraries compile it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/printer.h"

namespace dllg2::mfd {

struct Item {
  int number = 0;
  std::string code, description, unit, rate;
  ksim::Milli quantity = 0, unit_price = 0;
  ksim::Cents total = 0;
  bool cancelled = false;
};

struct Payment {
  std::string form;
  ksim::Cents amount = 0;
};

struct Coupon {
  std::uint32_t coo = 0, ccf = 0;
  std::string day;        // fiscal day, "YYYY-MM-DD"
  std::int64_t when = 0;  // printer time of the closing or cancellation
  std::string customer_name, customer_document;
  ksim::Cents subtotal = 0, adjustment = 0, total = 0, change = 0;
  bool cancelled = false;
  std::vector<Item> items;
  std::vector<Payment> payments;
};

inline constexpr std::string_view prefix = "mfd.";

inline std::string key(std::uint32_t coo) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%09u", static_cast<unsigned>(coo));
  return std::string(prefix) + digits;
}

// Encoding: one line per record ("C" coupon, "I" item, "P" payment), fields
// separated by '|'; '\\', '|' and line breaks inside texts are escaped.
namespace detail {

inline std::string escape(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '|': out += "\\p"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out;
}

inline std::string unescape(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char c = text[++i];
    out += c == 'p' ? '|' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
  }
  return out;
}

inline std::vector<std::string> fields(std::string_view line) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (;;) {
    const auto bar = line.find('|', start);
    out.push_back(unescape(line.substr(start, bar - start)));
    if (bar == std::string_view::npos) return out;
    start = bar + 1;
  }
}

inline std::string join(std::initializer_list<std::string> parts) {
  std::string out;
  for (const auto &p : parts) out += (out.empty() ? "" : "|") + escape(p);
  return out + '\n';
}

inline std::optional<std::int64_t> number(const std::string &text) {
  try {
    std::size_t used = 0;
    const long long v = std::stoll(text, &used);
    if (used == text.size()) return v;
  } catch (...) {
  }
  return std::nullopt;
}

}  // namespace detail

inline std::string encode(const Coupon &c) {
  using detail::join;
  using std::to_string;
  std::string out = join({"C", to_string(c.coo), to_string(c.ccf), c.day, to_string(c.when), c.customer_name,
                          c.customer_document, to_string(c.subtotal), to_string(c.adjustment), to_string(c.total),
                          to_string(c.change), c.cancelled ? "1" : "0"});
  for (const Item &i : c.items)
    out += join({"I", to_string(i.number), i.code, i.description, i.unit, i.rate, to_string(i.quantity),
                 to_string(i.unit_price), to_string(i.total), i.cancelled ? "1" : "0"});
  for (const Payment &p : c.payments) out += join({"P", p.form, to_string(p.amount)});
  return out;
}

// Nullopt when the text is not a whole record.
inline std::optional<Coupon> decode(std::string_view text) {
  Coupon c;
  bool head = false;
  while (!text.empty()) {
    const auto end = text.find('\n');
    if (end == std::string_view::npos) return std::nullopt;
    const auto f = detail::fields(text.substr(0, end));
    text.remove_prefix(end + 1);
    std::vector<std::int64_t> n;
    for (const auto &field : f) n.push_back(detail::number(field).value_or(0));
    if (f[0] == "C" && f.size() == 12 && !head) {
      head = true;
      c.coo = static_cast<std::uint32_t>(n[1]), c.ccf = static_cast<std::uint32_t>(n[2]), c.day = f[3];
      c.when = n[4], c.customer_name = f[5], c.customer_document = f[6];
      c.subtotal = n[7], c.adjustment = n[8], c.total = n[9], c.change = n[10], c.cancelled = f[11] == "1";
    } else if (f[0] == "I" && f.size() == 10 && head) {
      c.items.push_back({static_cast<int>(n[1]), f[2], f[3], f[4], f[5], n[6], n[7], n[8], f[9] == "1"});
    } else if (f[0] == "P" && f.size() == 3 && head) {
      c.payments.push_back({f[1], n[2]});
    } else {
      return std::nullopt;
    }
  }
  if (!head) return std::nullopt;
  return c;
}

}  // namespace dllg2::mfd
