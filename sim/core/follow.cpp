// Following the paper: the pages a printer prints after a place on its tape,
// found by the page marks it wrote and read from that place on, never the
// whole tape again.
#include <algorithm>

#include "core/internal.h"

namespace ksim {
namespace {

TapeMark mark_of(std::uint64_t bytes, const files::Identity &identity) {
  return {bytes, identity.device, identity.node};
}

}  // namespace

TapeMark Printer::paper_stamp() const {
  const Impl &p = *impl_;
  files::Folder dir;
  if (p.folder.empty() || !files::open_folder(p.folder, dir, false)) return {};
  std::uint64_t size = 0;
  files::Identity identity;
  const bool present = files::stat_file(dir, kTape, size, identity);
  files::close_folder(dir);
  return present ? mark_of(size, identity) : TapeMark{};
}

TapeMark Printer::tape_end() {
  Impl &p = *impl_;
  std::unique_lock<std::recursive_timed_mutex> turn(p.mutex);
  if (p.depth == 0) return {};  // no look held: nothing is opened here
  Session session = begin("tape", Call::inspect);
  std::uint64_t size = 0;
  files::Identity identity;
  if (!p.usable || !p.damage.empty() || !files::stat_file(p.dir, kTape, size, identity)) return {};
  return mark_of(p.at.tape_bytes, identity);
}

std::vector<Page> Printer::pages_after(TapeMark &mark) {
  Impl &p = *impl_;
  std::unique_lock<std::recursive_timed_mutex> turn(p.mutex);
  if (p.depth == 0) return {};
  const TapeMark end = tape_end();
  const bool same_tape = end.device == mark.device && end.node == mark.node && mark.bytes <= end.bytes;
  const std::uint64_t seen = same_tape ? mark.bytes : 0;
  if (seen == end.bytes) {
    mark = end;
    return {};
  }
  const std::uint64_t from = std::max(seen, end.bytes > kFollowBytes ? end.bytes - kFollowBytes : 0);
  std::string text;
  if (!files::read_from(p.dir, kTape, from, text, end.bytes - from) || text.size() != end.bytes - from) return {};
  mark = end;
  // A page begins with its mark line, at the start of a line: the place
  // seen is one; a bounded start is skipped to the next.
  std::size_t begin = 0;
  if (from != seen) {
    const std::size_t line_end = text.find('\n');
    begin = line_end == std::string::npos ? text.size() : line_end + 1;
  }
  const std::string page_mark = std::string(kColumns, '=') + "\n";
  std::size_t at = text.compare(begin, page_mark.size(), page_mark) == 0 ? begin : text.find('\n' + page_mark, begin);
  if (at == std::string::npos) return {};
  if (text[at] == '\n') ++at;
  return read_pages(std::string_view(text).substr(at));
}

void TapeFollower::skip_printed() {
  Printer &printer = Printer::of(library_);
  stamp_ = printer.paper_stamp();
  seen_ = printer.tape_end();
}

TapeFollower::Poll TapeFollower::poll(int wait_ms) {
  Printer &printer = Printer::of(library_);
  Poll out;
  out.look.kind = Inspection::Kind::sound;
  // The stamp before the look: a page printed after it changes the next one.
  const TapeMark stamp = printer.paper_stamp();
  if (stamp_ == stamp) return out;
  out.look = printer.inspect(wait_ms);
  if (out.look.session) out.pages = printer.pages_after(seen_);
  if (out.look.session || out.look.kind == Inspection::Kind::absent) stamp_ = stamp;
  out.look.session.reset();
  return out;
}

}  // namespace ksim
