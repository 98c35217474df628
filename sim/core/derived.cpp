// The files that follow from the journal: tape.txt (the paper), details
// (the detail memory) and reductions (the fiscal memory).  None is kept in
// memory: each is appended as commands print, checked against replay for
// the records a load applies, and read back from disk, the part asked for
// alone (the fiscal memory, whole, in journal.cpp).
#include "core/internal.h"

namespace ksim {
namespace {

constexpr std::size_t kFlushAt = 1 << 20, kBlock = 1 << 16;

}  // namespace

DerivedFile::DerivedFile(const files::Folder &folder, const char *name, std::uint64_t from, bool read_only)
    : folder_(folder), name_(name), end_(from), read_only_(read_only) {}

std::uint64_t DerivedFile::add(std::string_view text) {
  pending_ += text;
  if (pending_.size() >= kFlushAt) flush();
  return text.size();
}

// Compares the pending text with the file at its place; from the first
// difference on (or where the file ends), the file is rewritten.
void DerivedFile::flush() {
  std::string pending = std::move(pending_);
  pending_.clear();
  if (pending.empty() || failed_ || differs_) return;
  std::size_t same = 0;
  if (!rewriting_) {
    std::string found;
    if (!files::read_from(folder_, name_, end_, found, pending.size())) {
      failed_ = true;
      return;
    }
    while (same < found.size() && found[same] == pending[same]) ++same;
    if (same == pending.size()) {
      end_ += same;
      return;
    }
    if (read_only_) {
      differs_ = true;
      return;
    }
    rewriting_ = true;
    if (!found.empty() && !files::truncate(folder_, name_, end_ + same)) {
      failed_ = true;
      return;
    }
  }
  failed_ = !files::append(folder_, name_, std::string_view(pending).substr(same), false);
  end_ += pending.size();
}

bool DerivedFile::finish() {
  flush();
  std::uint64_t size = 0;
  files::Identity ignored;
  if (!rewriting_ && !failed_ && !differs_ && files::stat_file(folder_, name_, size, ignored)) longer_ = size > end_;
  return !failed_;
}

// ---- Reading them back ----

std::vector<Page> Printer::tape(std::size_t count) {
  Session session = begin("tape", Call::inspect);
  Impl &p = *impl_;
  if (!p.usable || !p.damage.empty()) return {};
  const std::string mark = "\n" + std::string(kColumns, '=') + "\n";
  std::uint64_t end = p.at.tape_bytes, start = end;
  std::string text;
  // Blocks from the end, each twice the last, until `count` pages begin in
  // them (all the tape for 0).
  for (std::uint64_t block = kBlock; start > 0; block *= 2) {
    std::uint64_t from = count == 0 || start < block ? 0 : start - block;
    std::string part;
    if (!files::read_from(p.dir, kTape, from, part, start - from)) return {};
    text.insert(0, part);
    start = from;
    std::size_t found = 0;
    for (std::size_t at = text.size(); found < count && at > 0 && (at = text.rfind(mark, at - 1)) != std::string::npos;)
      if (++found == count) return read_pages(std::string_view(text).substr(at + 1));
  }
  return read_pages(text);
}

namespace {

// The fiscal day of the detail record at `line` (unchecked: for the search).
std::string day_of(std::string_view line) {
  std::size_t first = line.find(' '), second = first == std::string_view::npos ? first : line.find(' ', first + 1);
  return second == std::string_view::npos ? std::string() : std::string(line.substr(second + 1).substr(0, 10));
}

// The start and fiscal day of the first record starting at or after
// `offset` (before `end`); {end, ""} when there is none.
std::pair<std::uint64_t, std::string> record_after(const files::Folder &dir, std::uint64_t offset, std::uint64_t end) {
  constexpr std::size_t kHeadAndDay = 40;
  std::uint64_t from = offset == 0 ? 0 : offset - 1;  // a record starts after a line end
  for (std::uint64_t want = 4096;; want *= 2) {
    std::string text;
    if (!files::read_from(dir, kDetails, from, text, std::min(want, end - from))) return {end, {}};
    bool whole = from + text.size() >= end;
    std::size_t begin = offset == 0 ? 0 : text.find('\n');
    if (begin != std::string::npos && offset != 0) ++begin;
    if (begin != std::string::npos && (whole || text.size() - begin >= kHeadAndDay))
      return {from + begin, day_of(std::string_view(text).substr(begin))};
    if (whole) return {end, {}};
  }
}

}  // namespace

std::vector<Detail> Session::details(std::string_view day) const {
  const Printer::Impl &p = *impl_->printer;
  if (!p.usable || !p.damage.empty()) return {};
  // Coupons are recorded day after day: a binary search finds a record
  // before the day's first, then the day is read to its end.
  std::uint64_t end = p.at.detail_bytes, low = 0, high = end;
  while (high - low > kBlock) {
    auto [start, found] = record_after(p.dir, low + (high - low) / 2, high);
    if (start >= high || found >= day)
      high = low + (high - low) / 2;
    else
      low = start;
  }
  std::map<std::uint32_t, Detail> coupons;
  bool past = false;
  for (std::uint64_t at = low, want = kFlushAt; at < end && !past;) {
    std::string text;
    if (!files::read_from(p.dir, kDetails, at, text, std::min(want, end - at))) return {};
    if (text.empty()) break;
    std::size_t begin = 0;
    for (std::size_t line_end; !past && (line_end = text.find('\n', begin)) != std::string::npos;
         begin = line_end + 1) {
      Detail detail;
      if (!read_detail(std::string_view(text).substr(begin, line_end - begin), detail)) continue;
      past = detail.coupon.day > day;
      if (detail.coupon.day == day) coupons[detail.coupon.coo] = std::move(detail);
    }
    if (begin == 0) want *= 2;  // a record longer than the block
    at += begin;
  }
  std::vector<Detail> result;
  for (auto &[coo, detail] : coupons) result.push_back(std::move(detail));
  return result;
}

}  // namespace ksim
