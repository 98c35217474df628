// Event-stream tickets: random, single-use, short-lived.
#include <algorithm>

#include "serve/service.h"

namespace kt::serve {

std::string Tickets::issue() {
  std::string ticket = random_hex(16);
  std::lock_guard lock(mutex_);
  if (issued_.size() >= kOutstanding) issued_.pop_front();
  issued_.emplace_back(ticket, std::chrono::steady_clock::now() + kLifetime);
  return ticket;
}

bool Tickets::redeem(const std::string &ticket) {
  std::lock_guard lock(mutex_);
  const auto now = std::chrono::steady_clock::now();
  std::erase_if(issued_, [&](const auto &entry) { return entry.second < now; });
  const auto found =
      std::find_if(issued_.begin(), issued_.end(), [&](const auto &entry) { return same_secret(entry.first, ticket); });
  if (found == issued_.end()) return false;
  issued_.erase(found);
  return true;
}

}  // namespace kt::serve
