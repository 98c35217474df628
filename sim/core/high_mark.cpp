// The highest counters a printer has issued, kept outside its folder: in the
// data folder, "<library>.counters", written durably with each checkpoint and
// as each document begins (then without waiting for the disk: a mark lost to
// a power loss is only older).  It holds the journal's place too: the last
// record, its end and checksum.  A printer folder copied back from a backup
// holds less than it, or another last record, and is refused when it is
// opened until the operator accepts the restore.
//
// A copy of the mark is kept outside the data folder too, in the user's
// state folder ($XDG_STATE_HOME/kalpo, else ~/.local/state/kalpo; on Windows
// %LOCALAPPDATA%\kalpo), named from a hash of the data folder's absolute
// path and the library and holding both, so that a whole data folder put
// back (printers and marks together), or a printer's folder renamed away
// with its mark removed, is refused too.
#include <filesystem>

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

// The user's state folder for KALPO; empty when none is known.
std::string state_folder() {
#if defined(_WIN32)
  const std::string base = files::environment("LOCALAPPDATA");
  return base.empty() ? std::string() : base + "\\kalpo";
#else
  // A relative $XDG_STATE_HOME is ignored, as the XDG rules say.
  if (const std::string base = files::environment("XDG_STATE_HOME"); !base.empty() && base[0] == '/')
    return base + "/kalpo";
  const std::string home = files::home_folder();
  return home.empty() ? std::string() : home + "/.local/state/kalpo";
#endif
}

// The data folder as one text for each spelling of it ("a/./b", "a/b/").
std::string absolute_folder(const std::string &path) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::path full = fs::weakly_canonical(fs::absolute(path, error), error);
  if (error) full = fs::absolute(path, error).lexically_normal();
  std::string text = full.string();
  while (text.size() > 1 && (text.back() == '/' || text.back() == '\\')) text.pop_back();
#if defined(_WIN32)
  text = lower_ascii(text);
#endif
  return text;
}

std::string hex64(std::uint64_t value) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text(16, '0');
  for (int i = 15; i >= 0; --i, value >>= 4) text[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
  return text;
}

// The outside copy of a mark: its folder, file name and first line (the
// data folder and the library it belongs to).
struct Outside {
  std::string folder, name, owner;
};

Outside outside_of(const std::string &data_folder, const std::string &library) {
  const std::string state = state_folder();
  if (state.empty() || data_folder.empty()) return {};
  const std::string path = absolute_folder(data_folder);
  std::uint64_t hash = 1469598103934665603ull;  // FNV-1a
  for (const char c : path + '\0' + library) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  return {state, hex64(hash) + ".counters", encode_fields({path, library}) + "\n"};
}

}  // namespace

std::string Printer::Impl::mark_name() const { return library + ".counters"; }

std::string Printer::Impl::data_folder() const {
  return folder.size() > library.size() ? folder.substr(0, folder.size() - library.size() - 1) : std::string();
}

std::string Printer::Impl::outside_mark_path() const {
  const Outside outside = outside_of(data_folder(), library);
  return outside.folder.empty() ? std::string() : outside.folder + kSlash + outside.name;
}

bool Printer::Impl::with_root(const std::function<void(const files::Folder &)> &use) const {
  if (folder.size() <= library.size()) return false;
  files::Folder root;
  if (!files::open_folder(folder.substr(0, folder.size() - library.size() - 1), root, false)) return false;
  use(root);
  files::close_folder(root);
  return true;
}

void Printer::Impl::write_mark(bool none, bool durably, bool outside_too) {
  const std::string text = none
                               ? std::string()
                               : encode_fields({kMarkTag, number(state.crz), number(state.coo),
                                                number(state.grand_total), number(static_cast<std::int64_t>(at.offset)),
                                                number(static_cast<std::int64_t>(at.last_start)), number(at.last_crc)});
  with_root([&](const files::Folder &root) {
    if (!files::write_all(root, mark_name().c_str(), text, durably)) notice(files::last_error());
  });
  if (!outside_too) return;
  const Outside outside = outside_of(data_folder(), library);
  if (outside.folder.empty()) return;
  files::Folder state;
  if (!files::open_folder(outside.folder, state, true)) return notice(files::last_error());
  std::string held;
  if (files::read_from(state, outside.name.c_str(), 0, held, 4096) && !held.empty() && !held.starts_with(outside.owner))
    notice(outside.folder + kSlash + outside.name + " holds the mark of another data folder: left as it is");
  else if (!files::write_all(state, outside.name.c_str(), outside.owner + text, durably))
    notice(files::last_error());
  files::close_folder(state);
}

void Printer::Impl::check_mark() {
  std::string unreadable;
  const std::string behind = behind_mark(unreadable);
  if (behind.empty()) return;
  if (!accepting_restore)
    return refuse(behind + ": a folder restored from a backup? `kalpo printer restore --model M` accepts it");
  write_mark(at.records == 0, true);
  notice("restore accepted by the operator: " + behind + "; the printer goes on from its own counters");
}

std::string Printer::Impl::behind_mark(std::string &unreadable) {
  unreadable.clear();
  std::string text;
  with_root([&](const files::Folder &root) { files::read_from(root, mark_name().c_str(), 0, text, 4096); });
  std::string behind = behind_mark_text(text, unreadable, mark_name());
  if (!behind.empty() || !unreadable.empty()) return behind;
  const Outside outside = outside_of(data_folder(), library);
  files::Folder state;
  if (outside.folder.empty() || files::path_kind(outside.folder).empty() ||
      !files::open_folder(outside.folder, state, false))
    return {};
  text.clear();
  files::read_from(state, outside.name.c_str(), 0, text, 8192);
  files::close_folder(state);
  const std::string where = outside.folder + kSlash + outside.name;
  if (text.empty() || !text.starts_with(outside.owner)) return {};  // none, or another data folder's
  return behind_mark_text(text.substr(outside.owner.size()), unreadable, where);
}

std::string Printer::Impl::behind_mark_text(const std::string &text, std::string &unreadable,
                                            const std::string &where) {
  Mark mark;
  if (!text.empty() && !read_mark(text, mark)) unreadable = where;
  if (text.empty() || !unreadable.empty()) return {};
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
  return behind.empty() ? behind : behind + " (" + where + ")";
}

}  // namespace ksim
