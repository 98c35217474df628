// The highest counters a printer has issued, kept outside its folder: in the
// data folder, "<library>.counters", written durably with each checkpoint and
// as each document begins (then without waiting for the disk: a mark lost to
// a power loss is only older).  It holds the journal's place too: the last
// record, its end and checksum.  A printer folder copied back from a backup
// holds less than it, or another last record, and is refused when it is
// opened until the operator accepts the restore.
#include "core/internal.h"

namespace ksim {
namespace {

// "kalpo counters 1" marks hold the counters alone, and are still read.
constexpr const char *kMarkTag = "kalpo counters 2", *kCountersTag = "kalpo counters 1";

struct Mark {
  std::int64_t crz = 0, coo = 0, grand_total = 0;
  std::optional<Position> at;  // offset, last_start and last_crc
};

bool read_mark(const std::string &text, Mark &mark) {
  std::vector<std::string> fields;
  if (text.empty() || text.back() != '\n' || !decode_fields(text.substr(0, text.size() - 1), fields).empty())
    return false;
  const bool with_place = fields.size() == 7 && fields[0] == kMarkTag;
  if (!with_place && !(fields.size() == 4 && fields[0] == kCountersTag)) return false;
  if (!parse_int(fields[1], mark.crz) || !parse_int(fields[2], mark.coo) || !parse_int(fields[3], mark.grand_total))
    return false;
  if (!with_place) return true;
  std::int64_t offset = 0, last_start = 0, crc = 0;
  if (!parse_int(fields[4], offset) || !parse_int(fields[5], last_start) || !parse_int(fields[6], crc) ||
      last_start < 0 || offset <= last_start || crc < 0 || crc > 0xFFFFFFFF)
    return false;
  mark.at = Position{};
  mark.at->offset = static_cast<std::uint64_t>(offset);
  mark.at->last_start = static_cast<std::uint64_t>(last_start);
  mark.at->last_crc = static_cast<std::uint32_t>(crc);
  return true;
}

}  // namespace

std::string Printer::Impl::mark_name() const { return library + ".counters"; }

bool Printer::Impl::with_root(const std::function<void(const files::Folder &)> &use) const {
  if (folder.size() <= library.size()) return false;
  files::Folder root;
  if (!files::open_folder(folder.substr(0, folder.size() - library.size() - 1), root, false)) return false;
  use(root);
  files::close_folder(root);
  return true;
}

void Printer::Impl::write_mark(bool none, bool durably) {
  const std::string text = none
                               ? std::string()
                               : encode_fields({kMarkTag, number(state.crz), number(state.coo),
                                                number(state.grand_total), number(static_cast<std::int64_t>(at.offset)),
                                                number(static_cast<std::int64_t>(at.last_start)), number(at.last_crc)});
  with_root([&](const files::Folder &root) {
    if (!files::write_all(root, mark_name().c_str(), text, durably)) notice(files::last_error());
  });
}

void Printer::Impl::check_mark() {
  bool unreadable = false;
  const std::string behind = behind_mark(unreadable);
  if (behind.empty()) return;
  if (!accepting_restore)
    return refuse(behind + ": a folder restored from a backup? `kalpo printer restore --model M` accepts it");
  write_mark(false, true);
  notice("restore accepted by the operator: " + behind + "; the printer goes on from its own counters");
}

std::string Printer::Impl::behind_mark(bool &unreadable) {
  std::string text;
  with_root([&](const files::Folder &root) { files::read_from(root, mark_name().c_str(), 0, text, 4096); });
  Mark mark;
  unreadable = !text.empty() && !read_mark(text, mark);
  if (text.empty() || unreadable) return {};
  std::string behind = counters_behind(state, mark.crz, mark.coo, mark.grand_total, "the highest it issued");
  if (!behind.empty()) behind = "its " + behind;
  if (behind.empty() && mark.at && at.records > 0) {
    if (at.offset < mark.at->offset)
      behind = "its journal ends at byte " + number(static_cast<std::int64_t>(at.offset)) +
               ", before the last record it issued (ending at byte " +
               number(static_cast<std::int64_t>(mark.at->offset)) + ")";
    else if (!holds_record(mark.at->last_start, mark.at->offset, mark.at->last_crc))
      behind = "its journal does not hold the last record it issued (at byte " +
               number(static_cast<std::int64_t>(mark.at->last_start)) + ")";
  }
  return behind;
}

}  // namespace ksim
