// A printer checked from end to end: every journal record read back and
// applied from the start, each checkpoint against the state the journal
// gives where it says, the tape, the details and the fiscal memory against
// what the journal prints, and every file's kind, owner and mode.  Nothing
// is written.
#include "core/internal.h"

namespace ksim {
namespace {

constexpr const char *kFiles[] = {kJournal, kTape,   kDetails,    kReductions,    kFaults,
                                  kDamaged, kNotice, kCheckpoint, kOldCheckpoint, kLock};

std::string at_byte(std::uint64_t records, std::uint64_t start) {
  return "journal record " + number(static_cast<std::int64_t>(records)) + " (byte " +
         number(static_cast<std::int64_t>(start)) + "): ";
}

}  // namespace

CheckReport Printer::check(int wait_ms) {
  CheckReport report;
  const Inspection look = inspect(wait_ms);
  if (look.kind == Inspection::Kind::absent || look.kind == Inspection::Kind::busy ||
      look.kind == Inspection::Kind::unreadable) {
    report.faults.push_back(look.kind == Inspection::Kind::absent ? "no printer yet" : look.reason);
    return report;
  }
  Impl &p = *impl_;
  if (look.kind == Inspection::Kind::damaged) report.faults.push_back(look.reason);
  std::unique_lock<std::recursive_timed_mutex> turn(p.mutex);

  for (const char *name : kFiles) {
    std::string ignored;
    if (!files::read_from(p.dir, name, 0, ignored, 0)) report.faults.push_back(files::last_error());
  }
  report.checked.push_back("the kind, owner and mode of every file");

  // The checkpoints, to be met on the way.
  struct Expected {
    const char *name;
    Checkpoint checkpoint;
    bool met = false;
  };
  std::vector<Expected> checkpoints;
  for (const char *name : {kCheckpoint, kOldCheckpoint}) {
    std::string text;
    if (!files::read_from(p.dir, name, 0, text) || text.empty()) continue;
    Expected e{name, {}};
    if (std::string why = read_checkpoint(text, e.checkpoint); !why.empty())
      report.faults.push_back(std::string(name) + ": " + why);
    else
      checkpoints.push_back(std::move(e));
  }

  State state = default_state();
  std::string tape, details, reductions;
  std::uint64_t records = 0;
  bool sound = true;
  const auto take = [&](std::string_view line, std::uint64_t start) {
    Command command;
    Printout printout;
    if (std::string why = apply_record(line, state, printout, command); !why.empty()) {
      report.faults.push_back(at_byte(records + 1, start) + why);
      return sound = false;
    }
    ++records;
    tape += tape_text(printout, tape.empty());
    if (printout.detail) details += detail_text(*printout.detail);
    if (printout.reduction) reductions += reduction_text(*printout.reduction);
    const std::uint64_t end = start + line.size() + 1;
    for (Expected &e : checkpoints) {
      if (e.checkpoint.at.offset != end) continue;
      e.met = true;
      State held = e.checkpoint.state;
      held.fiscal_memory = state.fiscal_memory;
      const Position &at = e.checkpoint.at;
      if (held != state || at.records != records || at.last_start != start || at.last_crc != record_crc(line) ||
          e.checkpoint.reductions != state.fiscal_memory.size() || at.tape_bytes != tape.size() ||
          at.detail_bytes != details.size() || at.reduction_bytes != reductions.size())
        report.faults.push_back(std::string(e.name) + ": not the state the journal gives at byte " +
                                number(static_cast<std::int64_t>(end)));
    }
    return true;
  };
  std::string tail;
  p.looking = true;  // an over-long line is reported here, not written to damaged.txt
  const bool read = p.read_lines(0, UINT64_MAX, take, tail);
  p.looking = false;
  if (!read && sound) {
    report.faults.push_back(p.damage.empty() ? files::last_error() : p.damage);
    sound = false;
  }
  if (sound && !tail.empty()) report.faults.push_back("journal: its last line has no line end");
  report.checked.push_back("the journal: " + number(static_cast<std::int64_t>(records)) +
                           " records, each checksum and each in its order");
  for (const Expected &e : checkpoints) {
    if (!e.met && sound)
      report.faults.push_back(std::string(e.name) + ": covers " +
                              number(static_cast<std::int64_t>(e.checkpoint.at.offset)) +
                              " bytes, where no journal record ends");
    report.checked.push_back(std::string(e.name) + " against the journal");
  }
  if (!sound) return report;
  std::string unreadable;
  if (const std::string behind = p.behind_mark(unreadable); !behind.empty()) report.faults.push_back(behind);
  if (!unreadable.empty()) report.faults.push_back(unreadable + ": not a counters mark (damaged?)");
  report.checked.push_back(p.mark_name() + ": the highest counters the printer issued");
  if (const std::string outside = p.outside_mark_path(); !outside.empty())
    report.checked.push_back(outside + ": its copy outside the data folder");
  for (const auto &[name, given] : {std::pair{kTape, &tape}, {kDetails, &details}, {kReductions, &reductions}}) {
    std::string held;
    files::read_from(p.dir, name, 0, held);
    std::size_t same = 0;
    while (same < held.size() && same < given->size() && held[same] == (*given)[same]) ++same;
    if (same != held.size() || same != given->size())
      report.faults.push_back(std::string(name) + ": differs from what the journal gives at byte " +
                              number(static_cast<std::int64_t>(same)));
    report.checked.push_back(std::string(name) + " against the journal");
  }
  return report;
}

}  // namespace ksim
