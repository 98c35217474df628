// The journal: every completed command, one checksummed record a line,
// appended and flushed before the command returns.  The state, the paper
// tape, the detail memory and the fiscal memory's file are what replaying it
// gives; a printer opened afresh replays only what follows its checkpoint.
//
// A fiscal memory never shrinks: a journal that holds less than this
// process has applied, than its checkpoint covers, or than tape.txt shows
// printed is refused, never read as a younger printer.
#include "core/internal.h"

namespace ksim {
namespace {

constexpr std::uint64_t kChunk = 1 << 20;
// Longer than any record the printer writes: a line past it is damage, and
// is never read on to its end.
constexpr std::size_t kLineBound = 4 << 20;

std::string at_record(std::uint64_t record) { return "record " + number(static_cast<std::int64_t>(record)) + ": "; }

}  // namespace

void Printer::Impl::reload() {
  state = default_state();
  at = {};
  identity = {};
  loaded = false;
  damage.clear();
}

void Printer::Impl::catch_up() {
  std::uint64_t size = 0;
  files::Identity id;
  bool present = files::stat_file(dir, kJournal, size, id);
  if (!present && !files::last_error().empty()) {
    if (damage.empty()) trouble();
    return;
  }
  // A journal holding less than this process applied, in a folder that
  // holds nothing else of the printer's work: the folder was emptied or
  // made again (where its identity does not tell, as on Windows), a new
  // printer.  Anywhere else it is damage.
  if (loaded && at.records > 0 && (!present || size + 1 < at.offset) && !has_worked()) reload();
  std::optional<State> held;  // the state before another journal took this one's place
  if (loaded && present && id != identity) {
    // Another journal in its place: judged by what it says, not its length.
    // It must hold the last record applied, where it was, and counters
    // that are not behind; then it is read afresh.
    if (damage.empty() && size < at.offset)
      return refuse("replaced by a journal of " + number(static_cast<std::int64_t>(size)) + " bytes, less than the " +
                    number(static_cast<std::int64_t>(at.offset)) + " already applied");
    if (damage.empty() && at.records > 0 && !holds_record(at.last_start, at.offset, at.last_crc))
      return refuse("replaced by a journal that does not hold " + at_record(at.records) + "the last one applied");
    if (damage.empty()) held = state;
    reload();
  }
  if (!damage.empty()) return;
  if (loaded && !present && at.records > 0)
    return refuse("gone, after " + number(static_cast<std::int64_t>(at.records)) + " records applied");
  bool fresh = !loaded;
  identity = id;
  loaded = true;
  if (fresh && !start(present, size)) return;
  if (present && (fresh || size != at.offset)) read_records(size, fresh);
  // Judged by the marks only when the journal could be read to its end (a
  // new printer too: it must not fall behind a printer that was there).
  if (fresh && damage.empty() && loaded && usable) check_mark();
  if (held && damage.empty() && loaded && usable) {
    if (const std::string behind =
            counters_behind(state, held->crz, held->coo, held->grand_total, "those this process applied");
        !behind.empty())
      refuse("replaced by a journal whose " + behind);
  }
}

bool Printer::Impl::holds_record(std::uint64_t start, std::uint64_t end, std::uint32_t crc) {
  if (end <= start || end - start > kLineBound) return false;
  std::string text;
  if (!files::read_from(dir, kJournal, start, text, end - start) || text.size() != end - start || text.back() != '\n')
    return false;
  const std::string_view line = std::string_view(text).substr(0, text.size() - 1);
  Command ignored;
  return line.find('\n') == std::string_view::npos && record_crc(line) == crc && decode_record(line, ignored).empty();
}

std::string counters_behind(const State &state, std::int64_t crz, std::int64_t coo, std::int64_t grand_total,
                            std::string_view whose) {
  if (state.crz >= crz && state.coo >= coo && state.grand_total >= grand_total) return {};
  return "counters (CRZ " + number(state.crz) + ", COO " + number(state.coo) + ", grand total " +
         number(state.grand_total) + ") are behind " + std::string(whose) + " (CRZ " + number(crz) + ", COO " +
         number(coo) + ", grand total " + number(grand_total) + ")";
}

std::string apply_record(std::string_view line, State &state, Printout &printout, Command &command) {
  if (std::string why = decode_record(line, command); !why.empty()) return why;
  const Operation *operation = find_operation(command.op);
  if (!operation) return "unknown operation " + command.op;
  Outcome outcome = operation->execute(state, printout, command);
  if (outcome != Outcome::ok) return command.function + " " + command.op + " does not apply: " + to_string(outcome);
  return {};
}

bool Printer::Impl::read_lines(std::uint64_t from, std::uint64_t to,
                               const std::function<bool(std::string_view, std::uint64_t)> &take, std::string &tail) {
  tail.clear();
  std::uint64_t start = from;  // of the text in `tail`
  for (std::string chunk; start + tail.size() < to;) {
    if (!files::read_from(dir, kJournal, start + tail.size(), chunk, std::min(kChunk, to - start - tail.size())))
      return false;
    if (chunk.empty()) break;
    tail += chunk;
    std::size_t begin = 0;
    for (std::size_t end; (end = tail.find('\n', begin)) != std::string::npos; begin = end + 1)
      if (!take(std::string_view(tail).substr(begin, end - begin), start + begin)) return false;
    tail.erase(0, begin);
    start += begin;
    if (tail.size() > kLineBound) {
      refuse("a line at byte " + number(static_cast<std::int64_t>(start)) + " is longer than any record");
      return false;
    }
  }
  return true;
}

// Reads the records from the last one applied (which must read back
// unchanged) to the end: applies them, checks the derived files against
// what they print, and settles the last line.
void Printer::Impl::read_records(std::uint64_t size, bool fresh) {
  bool anchored = at.records == 0;
  std::uint64_t from = anchored ? at.offset : at.last_start;
  if (size + 1 < at.offset)  // one byte short: the last line end, restored below if that is all
    return refuse(at_record(at.records) + "the journal holds " + number(static_cast<std::int64_t>(size)) +
                  " bytes, less than the " + number(static_cast<std::int64_t>(at.offset)) + " acknowledged");
  DerivedFile tape(dir, kTape, at.tape_bytes, looking), details(dir, kDetails, at.detail_bytes, looking),
      reductions(dir, kReductions, at.reduction_bytes, looking);
  bool crossed_reduction = false, refused = false;
  // One line: the last record applied again, else the next record.
  auto take = [&](std::string_view line, std::uint64_t start) -> bool {
    if (!anchored) {
      Command ignored;
      anchored = start == at.last_start && start + line.size() + 1 == at.offset && record_crc(line) == at.last_crc &&
                 decode_record(line, ignored).empty();
      if (!anchored) refuse(at_record(at.records) + "no longer the record acknowledged");
      refused = !anchored;
      return anchored;
    }
    Command command;
    Printout printout;
    if (std::string why = apply_record(line, state, printout, command); !why.empty()) {
      refuse(at_record(at.records + 1) + why);
      refused = true;
      return false;
    }
    at.tape_bytes += tape.add(tape_text(printout, at.tape_bytes == 0));
    if (printout.detail) at.detail_bytes += details.add(detail_text(*printout.detail));
    if (printout.reduction) at.reduction_bytes += reductions.add(reduction_text(*printout.reduction));
    at.last_start = start;
    at.last_crc = record_crc(line);
    at.offset = start + line.size() + 1;
    ++at.records;
    crossed_reduction = crossed_reduction || printout.reduction;
    return true;
  };
  std::string tail;
  if (!read_lines(from, UINT64_MAX, take, tail)) {
    if (refused || !damage.empty()) return;
    reload();  // read again from the start by the next call
    return trouble();
  }
  if (!tail.empty()) {
    // A last line with no line end.
    std::uint64_t start = size - tail.size();
    Tail kind = tail_kind(tail);
    if (kind == Tail::complete) {
      if (!files::append(dir, kJournal, "\n", true)) return trouble();
      if (!take(tail, start)) return;
    } else if (kind == Tail::torn && anchored) {
      if (!files::truncate(dir, kJournal, start)) return trouble();
    } else {
      return refuse(at_record(at.records + (anchored ? 1 : 0)) + (anchored ? "damaged at the end" : "cut short"));
    }
  }
  if (!anchored) return refuse(at_record(at.records) + "the journal ends before the record acknowledged");
  bool differed = false;
  for (DerivedFile *file : {&tape, &details, &reductions}) {
    if (!file->finish()) notice(files::last_error());
    if (file->longer())
      return refuse("after " + at_record(at.records) + file->name() + " holds more than the journal gives");
    if (file->differed())
      notice(std::string(file->name()) + " differed from what the journal gives" +
             (looking ? " (left as it is by a look)" : ": rewritten from the first difference"));
    differed = differed || file->differed();
  }
  // A look leaves a differing file as it is: the next call reads afresh and rewrites it.
  if (looking && differed) return reload();
  // The checkpoint of a reduction replayed here is missing or was not
  // trusted: written now, so that the next start is quick.
  if (fresh && crossed_reduction && !looking) write_checkpoint();
}

std::vector<Reduction> Printer::Impl::read_fiscal_memory(std::size_t count, std::uint64_t bytes, std::uint64_t offset) {
  std::vector<Reduction> memory;
  std::string text;
  if (!dir.open()) files::open_folder(folder, dir, false);  // a copy of the state read after its printer was let go
  if (files::read_from(dir, kReductions, 0, text, bytes) && text.size() == bytes) {
    Reduction reduction;
    for (std::size_t begin = 0, end; (end = text.find('\n', begin)) != std::string::npos; begin = end + 1) {
      if (!read_reduction(std::string_view(text).substr(begin, end - begin), reduction)) break;
      memory.push_back(std::move(reduction));
    }
    if (memory.size() == count) return memory;
  }
  // Not as its checkpoint left it: the journal says what it was; the next
  // printer opened afresh rebuilds the file.  Read without the printer's
  // lock, this only reads: nothing is written here.
  // Said now on standard error; notice.txt is written by the next call, under the lock.
  pending_notice = std::string(kReductions) + " does not match the checkpoint: fiscal memory read from the journal";
  notice(pending_notice, false);
  State replayed = default_state();
  std::string tail;
  read_lines(
      0, offset,
      [&](std::string_view line, std::uint64_t) {
        Printout ignored;
        Command command;
        return apply_record(line, replayed, ignored, command).empty();
      },
      tail);
  return {replayed.fiscal_memory.begin(), replayed.fiscal_memory.end()};
}

bool Printer::Impl::journal(const Command &command) {
  std::string record = encode_record(command);
  if (!files::append(dir, kJournal, record, true)) {
    std::string why = files::last_error();
    files::truncate(dir, kJournal, at.offset);  // whatever part of it was written
    notice(why);
    return false;
  }
  std::uint64_t size = 0;
  files::stat_file(dir, kJournal, size, identity);
  at.last_start = at.offset;
  at.last_crc = record_crc(record);
  at.offset += record.size();
  ++at.records;
  return true;
}

void Printer::Impl::print(const Printout &printout) {
  // A failed append is cut back and the file's offset left where it was:
  // the next printer opened afresh writes the file again from the journal.
  auto add = [&](const char *file, std::uint64_t &bytes, const std::string &text) {
    if (text.empty()) return;
    if (files::append(dir, file, text, false)) {
      bytes += text.size();
      return;
    }
    notice(files::last_error());
    files::truncate(dir, file, bytes);
  };
  add(kTape, at.tape_bytes, tape_text(printout, at.tape_bytes == 0));
  if (printout.detail) add(kDetails, at.detail_bytes, detail_text(*printout.detail));
  if (printout.reduction) add(kReductions, at.reduction_bytes, reduction_text(*printout.reduction));
}

}  // namespace ksim
