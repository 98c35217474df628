// Event-stream tickets: "<lapse time>.<nonce>.<signature>", the lapse time
// in Unix seconds and the signature an HMAC of both under the token.
#include <charconv>

#include "serve/service.h"

namespace kt::serve {
namespace {

std::int64_t unix_seconds() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

std::string signed_part(std::string_view lapses, std::string_view nonce) {
  return "kalpo events ticket " + std::string(lapses) + "." + std::string(nonce);
}

}  // namespace

std::string Tickets::issue() const {
  const std::string lapses = std::to_string(unix_seconds() + std::chrono::seconds(kLifetime).count());
  const std::string nonce = random_hex(8);
  return lapses + "." + nonce + "." + hmac_sha256_hex(token_, signed_part(lapses, nonce));
}

Tickets::Verdict Tickets::check(std::string_view ticket) const {
  if (ticket.size() > 128 || token_.empty()) return Verdict::wrong;
  const std::size_t first = ticket.find('.');
  const std::size_t second = first == std::string_view::npos ? first : ticket.find('.', first + 1);
  if (second == std::string_view::npos) return Verdict::wrong;
  const std::string_view lapses = ticket.substr(0, first), nonce = ticket.substr(first + 1, second - first - 1);
  if (!same_secret(ticket.substr(second + 1), hmac_sha256_hex(token_, signed_part(lapses, nonce))))
    return Verdict::wrong;
  std::int64_t when = 0;
  const auto [end, error] = std::from_chars(lapses.data(), lapses.data() + lapses.size(), when);
  if (error != std::errc() || end != lapses.data() + lapses.size()) return Verdict::wrong;
  return unix_seconds() < when ? Verdict::good : Verdict::lapsed;
}

}  // namespace kt::serve
