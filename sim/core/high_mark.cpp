// The highest counters a printer has issued, kept outside its folder: in the
// data folder, "<library>.counters", written with each checkpoint.  A
// printer folder copied back from a backup holds less than it, and is
// refused when it is opened until the operator accepts the restore.
#include "core/internal.h"

namespace ksim {
namespace {

constexpr const char *kMarkTag = "kalpo counters 1";

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

void Printer::Impl::write_mark(bool none) {
  const std::string text =
      none ? std::string() : encode_fields({kMarkTag, number(state.crz), number(state.coo), number(state.grand_total)});
  with_root([&](const files::Folder &root) {
    if (!files::write_all(root, mark_name().c_str(), text)) notice(files::last_error());
  });
}

void Printer::Impl::check_mark() {
  std::string text;
  with_root([&](const files::Folder &root) { files::read_from(root, mark_name().c_str(), 0, text, 4096); });
  std::vector<std::string> fields;
  std::int64_t crz = 0, coo = 0, total = 0;
  if (text.empty() || text.back() != '\n' || !decode_fields(text.substr(0, text.size() - 1), fields).empty() ||
      fields.size() != 4 || fields[0] != kMarkTag || !parse_int(fields[1], crz) || !parse_int(fields[2], coo) ||
      !parse_int(fields[3], total))
    return;
  if (state.crz >= crz && state.coo >= coo && state.grand_total >= total) return;
  const std::string behind = "its counters (CRZ " + number(state.crz) + ", COO " + number(state.coo) +
                             ", grand total " + number(state.grand_total) + ") are behind the highest it issued (CRZ " +
                             number(crz) + ", COO " + number(coo) + ", grand total " + number(total) + ")";
  if (!accepting_restore)
    return refuse(behind + ": a folder restored from a backup? `kalpo printer restore --model M` accepts it");
  write_mark(false);
  notice("restore accepted by the operator: " + behind + "; the printer goes on from its own counters");
}

}  // namespace ksim
