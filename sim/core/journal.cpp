// The journal: every completed command, one checksummed record a line,
// appended and flushed before the command returns.  The state, the paper
// tape and the detail memory are what replaying it gives; a printer opened
// afresh replays only what follows its last checkpoint.
//
// A fiscal memory never shrinks: a journal that holds less than this
// process has applied, than its checkpoint covers, or than tape.txt shows
// printed is refused, never read as a younger printer.
#include "core/internal.h"

namespace ksim {
namespace {

constexpr std::uint64_t kChunk = 1 << 20;

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
  if (!present && !files::last_error().empty()) return trouble();
  if (loaded && present && id != identity) {
    // Another journal in its place: read afresh, if it holds all this
    // process has seen.
    if (damage.empty() && size < at.offset)
      return refuse("replaced by a journal of " + number(static_cast<std::int64_t>(size)) +
                    " bytes, less than the " + number(static_cast<std::int64_t>(at.offset)) + " already applied");
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
}

// Reads the records from the last one applied (which must read back
// unchanged) to the end: applies them, checks tape.txt and the detail
// memory against what they print, and settles the last line.
void Printer::Impl::read_records(std::uint64_t size, bool fresh) {
  bool anchored = at.records == 0;
  std::uint64_t from = anchored ? at.offset : at.last_start;
  if (size + 1 < at.offset)  // one byte short: the last line end, restored below if that is all
    return refuse(at_record(at.records) + "the journal holds " + number(static_cast<std::int64_t>(size)) +
                  " bytes, less than the " + number(static_cast<std::int64_t>(at.offset)) + " acknowledged");
  DerivedFile tape(dir, kTape, at.tape_bytes), details(dir, kDetails, at.detail_bytes);
  bool crossed_reduction = false;
  // One line: the last record applied again, else the next record.
  auto take = [&](std::string_view line, std::uint64_t start) -> bool {
    if (!anchored) {
      Command ignored;
      anchored = start == at.last_start && start + line.size() + 1 == at.offset &&
                 record_crc(line) == at.last_crc && decode_record(line, ignored).empty();
      if (!anchored) refuse(at_record(at.records) + "no longer the record acknowledged");
      return anchored;
    }
    Command command;
    std::string why = decode_record(line, command);
    const Operation *operation = why.empty() ? find_operation(command.op) : nullptr;
    if (why.empty() && !operation) why = "unknown operation " + command.op;
    Printout printout;
    Outcome outcome = operation ? operation->execute(state, printout, command) : Outcome::ok;
    if (why.empty() && outcome != Outcome::ok)
      why = command.function + " " + command.op + " does not apply: " + to_string(outcome);
    if (!why.empty()) {
      refuse(at_record(at.records + 1) + why);
      return false;
    }
    at.tape_bytes += tape.add(tape_text(printout, at.tape_bytes == 0));
    if (printout.detail) at.detail_bytes += details.add(detail_text(*printout.detail));
    at = {start + line.size() + 1, at.records + 1, start, record_crc(line), at.tape_bytes, at.detail_bytes};
    crossed_reduction = crossed_reduction || command.op == "z_reduction";
    return true;
  };
  std::string data;  // read, not yet taken; starts at `start`
  std::uint64_t start = from;
  for (std::string chunk;;) {
    if (!files::read_from(dir, kJournal, start + data.size(), chunk, kChunk)) return trouble();
    if (chunk.empty()) break;
    data += chunk;
    std::size_t begin = 0;
    for (std::size_t end; (end = data.find('\n', begin)) != std::string::npos; begin = end + 1)
      if (!take(std::string_view(data).substr(begin, end - begin), start + begin)) return;
    data.erase(0, begin);
    start += begin;
  }
  if (!data.empty()) {
    // A last line with no line end.
    Tail tail = tail_kind(data);
    if (tail == Tail::complete) {
      if (!files::append(dir, kJournal, "\n", true)) return trouble();
      if (!take(data, start)) return;
    } else if (tail == Tail::torn && anchored) {
      if (!files::truncate(dir, kJournal, start)) return trouble();
    } else {
      return refuse(at_record(at.records + (anchored ? 1 : 0)) + (anchored ? "damaged at the end" : "cut short"));
    }
  }
  if (!anchored)
    return refuse(at_record(at.records) + "the journal ends before the record acknowledged");
  for (DerivedFile *file : {&tape, &details}) {
    if (!file->finish()) notice(files::last_error());
    if (file->longer())
      return refuse("after " + at_record(at.records) + file->name() + " holds more than the journal gives");
  }
  // The checkpoint of a reduction replayed here is missing or was not
  // trusted: written now, so that the next start is quick.
  if (fresh && crossed_reduction) write_checkpoint();
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
  std::string text = tape_text(printout, at.tape_bytes == 0);
  if (!text.empty() && !files::append(dir, kTape, text, false)) notice(files::last_error());
  at.tape_bytes += text.size();
  if (!printout.detail) return;
  std::string line = detail_text(*printout.detail);
  if (!files::append(dir, kDetails, line, false)) notice(files::last_error());
  at.detail_bytes += line.size();
}

}  // namespace ksim
