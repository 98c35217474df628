// Opening a printer: its folder and lock at the start of each call, and a
// printer new to this process started from its last good checkpoint, so
// that a printer opens as fast on its last day as on its first.
#include <utility>

#include "core/internal.h"

namespace ksim {
namespace {

// The printer's own files: anything else under their names (a link, a
// FIFO, a device) is refused before it is opened.
constexpr const char *kOwnFiles[] = {kJournal, kTape,   kDetails,    kReductions,    kFaults,
                                     kDamaged, kNotice, kCheckpoint, kOldCheckpoint, kLock};

std::uint64_t size_of(const files::Folder &dir, const char *name) {
  std::uint64_t size = 0;
  files::Identity ignored;
  return files::stat_file(dir, name, size, ignored) ? size : 0;
}

bool exists(const files::Folder &dir, const char *name) {
  std::uint64_t size = 0;
  files::Identity ignored;
  return files::stat_file(dir, name, size, ignored);
}

}  // namespace

void Printer::Impl::enter() {
  usable = false;
  if (folder.empty()) return;
  if (!damage.empty()) look_again();
  if (dir.open() && !files::still_there(dir)) {
    // The folder was deleted: whatever is there now is another printer.
    files::close_folder(dir);
    reload();
    floor.reset();
  }
  busy = false;
  if (!dir.open() && !files::open_folder(folder, dir, !looking)) return trouble();
  for (const char *name : kOwnFiles)
    if (std::string kind = files::odd_kind(dir, name); !kind.empty() && damage.empty())
      refuse(std::string(name) + " is " + kind + ", not a file of the printer's own");
  lock = looking ? files::try_lock(dir, kLock, wait_ms, busy) : files::lock(dir, kLock);
  // A printer that never had a call has no lock yet: a look reads it as it is.
  if (!lock.locked() && !(looking && !busy && files::last_error().empty())) return trouble();
  usable = true;
  if (!looking && !pending_notice.empty()) notice(std::exchange(pending_notice, {}));
}

// Files that only a printer that has worked leaves.
bool Printer::Impl::has_worked() const {
  return size_of(dir, kTape) > 0 || size_of(dir, kDetails) > 0 || exists(dir, kCheckpoint) ||
         exists(dir, kOldCheckpoint);
}

// The newest checkpoint that reads back whole, else the journal from its
// start; a checkpoint not trusted is said.  False when the files are refused.
bool Printer::Impl::start(bool present, std::uint64_t size) {
  std::string distrusted;
  Checkpoint checkpoint;
  const char *used = nullptr;
  for (const char *name : {kCheckpoint, kOldCheckpoint}) {
    if (!exists(dir, name)) continue;
    std::string text;
    std::string why = files::read_from(dir, name, 0, text) ? read_checkpoint(text, checkpoint) : files::last_error();
    if (why.empty()) {
      used = name;
      break;
    }
    distrusted += std::string(distrusted.empty() ? "" : "; ") + name + " not trusted: " + why;
  }
  if (!present) {
    bool worked = used || !distrusted.empty() || has_worked();
    if (worked) refuse("missing, though tape.txt, details or a checkpoint show the printer has worked");
    if (!worked && !looking) write_mark(true, true, false);  // a new printer: nothing issued yet (checked after)
    return !worked;
  }
  const Position &cp = checkpoint.at;
  if (used && size + 1 < cp.offset) {  // one byte short: its last line end, restored on reading
    refuse("holds " + number(static_cast<std::int64_t>(size)) + " bytes, less than the " +
           number(static_cast<std::int64_t>(cp.offset)) + " its checkpoint covers");
    return false;
  }
  // Derived files shorter than the checkpoint says are rebuilt by a replay
  // from the start.
  if (used && size_of(dir, kTape) >= cp.tape_bytes && size_of(dir, kDetails) >= cp.detail_bytes &&
      size_of(dir, kReductions) >= cp.reduction_bytes) {
    state = std::move(checkpoint.state);
    if (checkpoint.last)
      state.fiscal_memory =
          AppendOnly<Reduction>(checkpoint.reductions, *checkpoint.last, [this, count = checkpoint.reductions, cp] {
            return read_fiscal_memory(count, cp.reduction_bytes, cp.offset);
          });
    at = cp;
  }
  if (!distrusted.empty())
    notice(distrusted + (used ? std::string("; started from ") + used : "; replayed the journal from its start"));
  return true;
}

// The state and the position it stands for, durably: the previous
// checkpoint kept as checkpoint.old.  The derived files are flushed first,
// so the checkpoint never counts text they could lose.
void Printer::Impl::write_checkpoint() {
  bool ok = files::append(dir, kTape, {}, true) && files::append(dir, kDetails, {}, true) &&
            files::append(dir, kReductions, {}, true) && files::rename(dir, kCheckpoint, kOldCheckpoint) &&
            files::write_all(dir, kCheckpoint, checkpoint_text(at, state));
  if (!ok) notice(files::last_error() + " (no checkpoint written)");
  if (ok) write_mark(false, true);
}

}  // namespace ksim
