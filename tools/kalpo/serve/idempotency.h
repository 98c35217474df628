// The answers given to calls that carried an Idempotency-Key, so that a
// client that retries after a lost answer gets the same answer again instead
// of a second sale.  Kept in a journal file beside the printers' data, so
// that a restart of the service forgets none.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>

namespace kt::serve {

class KeyStore {
 public:
  static constexpr std::size_t kKeys = 1000;        // the most recent ones kept
  static constexpr std::chrono::hours kKept{24};    // each kept this long
  static constexpr std::size_t kLongestKey = 128;   // characters, printable ASCII
  static constexpr std::chrono::seconds kWait{30};  // for the first request with the key
  static constexpr std::uintmax_t kLargestJournal = 16 << 20;

  struct Claim {
    enum class Kind { mine, replay, reused, busy } kind;
    std::string answer;  // replay: the answer kept
  };

  // Reads the journal (a file that is not the user's own regular file is
  // left alone: the keys are then kept in memory only); "" keeps them in
  // memory only.  Returns what went wrong, "" when nothing did.
  std::string open(const std::filesystem::path &journal);
  // Why a key is refused, "" when it is fine.
  static std::string invalid(const std::string &key);
  // mine: the caller makes the call and then finishes or abandons the key;
  // replay: the answer kept; reused: the key came with another request;
  // busy: the first request with the key is still running after kWait.
  Claim claim(const std::string &key, const std::string &fingerprint);
  void finish(const std::string &key, const std::string &answer);
  void abandon(const std::string &key);
  std::size_t size();

 private:
  struct Entry {
    std::string fingerprint;
    std::string answer;
    std::int64_t at = 0;  // seconds since the epoch
    bool pending = true;
  };
  void prune(std::int64_t now);
  void append(const std::string &key, const Entry &entry);
  void rewrite();

  std::mutex mutex_;
  std::condition_variable done_;
  std::map<std::string, Entry> entries_;
  std::filesystem::path journal_;
  std::size_t appended_ = 0;  // lines in the journal
};

// A fingerprint of a request: the export and its canonical body.
std::string request_fingerprint(const std::string &export_name, const std::string &canonical_body);

}  // namespace kt::serve
