// The kept answers of calls with an Idempotency-Key and their journal: one
// JSON line per answer, appended as answers are given and rewritten with the
// entries still kept once it holds twice as many lines as kept keys.
#include "serve/idempotency.h"

#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <sstream>

#include "core/safe_file.h"

namespace kt::serve {
namespace {

std::int64_t now_seconds() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

// The journal is the user's own, which no other user may write: read
// through the safe opener, appended in one write, replaced whole.
std::string read_journal(const std::filesystem::path &path, std::string &why) {
  std::string text;
  if (ksim::read_whole_file(path.string(), ksim::Whose::own, KeyStore::kLargestJournal, text)) return text;
  why = ksim::last_file_error();
  return {};
}

std::string journal_line(const std::string &key, const std::string &fingerprint, const std::string &answer,
                         std::int64_t at) {
  return nlohmann::json{{"key", key}, {"fingerprint", fingerprint}, {"answer", answer}, {"at", at}}.dump() + "\n";
}

}  // namespace

std::string request_fingerprint(const std::string &export_name, const std::string &canonical_body) {
  // FNV-1a, 64 bits: the same on every run, unlike std::hash.
  std::uint64_t hash = 14695981039346656037ULL;
  for (const char c : export_name + '\n' + canonical_body) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ULL;
  }
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

std::string KeyStore::invalid(const std::string &key) {
  if (key.empty() || key.size() > kLongestKey) return "Idempotency-Key: 1 to 128 characters";
  for (const char c : key)
    if (c < 0x20 || c > 0x7E) return "Idempotency-Key: printable ASCII characters only";
  return {};
}

std::string KeyStore::open(const std::filesystem::path &journal) {
  std::lock_guard lock(mutex_);
  entries_.clear();
  journal_.clear();
  if (journal.empty()) return {};
  std::string why;
  const std::string text = read_journal(journal, why);
  if (!why.empty()) return why + "; the keys are kept in memory only";
  journal_ = journal;
  std::istringstream lines(text);
  std::string line;
  std::size_t bad = 0;
  while (std::getline(lines, line)) {
    ++appended_;
    const nlohmann::json j = nlohmann::json::parse(line, nullptr, false);
    if (!j.is_object() || !j.contains("key") || !j["key"].is_string() || !invalid(j["key"]).empty() ||
        !j.contains("fingerprint") || !j["fingerprint"].is_string() || !j.contains("answer") ||
        !j["answer"].is_string() || !j.contains("at") || !j["at"].is_number_integer()) {
      ++bad;
      continue;
    }
    entries_[j["key"]] = {j["fingerprint"], j["answer"], j["at"].get<std::int64_t>(), false};
  }
  prune(now_seconds());
  return bad ? journal.string() + ": " + std::to_string(bad) + " unreadable line(s) left out" : "";
}

KeyStore::Claim KeyStore::claim(const std::string &key, const std::string &fingerprint) {
  std::unique_lock lock(mutex_);
  const auto deadline = std::chrono::steady_clock::now() + kWait;
  for (;;) {
    const auto found = entries_.find(key);
    if (found == entries_.end()) {
      entries_[key] = {fingerprint, {}, now_seconds(), true};
      return {Claim::Kind::mine, {}};
    }
    const Entry &entry = found->second;
    if (entry.fingerprint != fingerprint) return {Claim::Kind::reused, {}};
    if (!entry.pending) return {Claim::Kind::replay, entry.answer};
    if (done_.wait_until(lock, deadline) == std::cv_status::timeout) return {Claim::Kind::busy, {}};
  }
}

void KeyStore::finish(const std::string &key, const std::string &answer) {
  std::lock_guard lock(mutex_);
  const auto found = entries_.find(key);
  if (found == entries_.end()) return;
  Entry &entry = found->second;
  entry.answer = answer;
  entry.pending = false;
  entry.at = now_seconds();
  append(key, entry);
  prune(entry.at);
  done_.notify_all();
}

void KeyStore::abandon(const std::string &key) {
  std::lock_guard lock(mutex_);
  entries_.erase(key);
  done_.notify_all();
}

std::size_t KeyStore::size() {
  std::lock_guard lock(mutex_);
  return entries_.size();
}

void KeyStore::prune(std::int64_t now) {
  const std::int64_t oldest = now - std::chrono::duration_cast<std::chrono::seconds>(kKept).count();
  std::erase_if(entries_, [&](const auto &e) { return !e.second.pending && e.second.at < oldest; });
  while (entries_.size() > kKeys) {
    auto first = entries_.end();
    for (auto it = entries_.begin(); it != entries_.end(); ++it)
      if (!it->second.pending && (first == entries_.end() || it->second.at < first->second.at)) first = it;
    if (first == entries_.end()) break;
    entries_.erase(first);
  }
  if (appended_ > 2 * kKeys) rewrite();
}

void KeyStore::append(const std::string &key, const Entry &entry) {
  if (journal_.empty()) return;
  if (ksim::append_own_file(journal_.string(), journal_line(key, entry.fingerprint, entry.answer, entry.at)))
    ++appended_;
}

// The entries kept, written beside the journal and moved over it at once.
void KeyStore::rewrite() {
  if (journal_.empty()) return;
  std::string text;
  std::size_t lines = 0;
  for (const auto &[key, entry] : entries_)
    if (!entry.pending) text += journal_line(key, entry.fingerprint, entry.answer, entry.at), ++lines;
  if (ksim::write_caller_file(journal_.string(), text)) appended_ = lines;
}

}  // namespace kt::serve
