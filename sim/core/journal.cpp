// The journal: every completed command, one checksummed record a line,
// appended and flushed before the command returns.  The state and the
// paper tape are what replaying it gives.
#include <cstdio>

#include "core/internal.h"

namespace ksim {

void Printer::Impl::reload() {
  state = default_state();
  tape.clear();
  offset = records = tape_bytes = 0;
  identity = {};
  loaded = false;
  damage.clear();
  damage_reported = false;
}

// A record that cannot be read or replayed: the printer refuses
// everything from now on, and says why in damaged.txt (and once on stderr).
void Printer::Impl::refuse_journal(std::uint64_t record, const std::string &why) {
  damage = path("journal") + ": record " + number(static_cast<std::int64_t>(record)) + ": " + why;
  files::write_all(path("damaged.txt"), damage + "\n");
  if (!damage_reported) std::fprintf(stderr, "kalpo virtual printer refuses its journal: %s\n", damage.c_str());
  damage_reported = true;
}

void Printer::Impl::catch_up() {
  std::uint64_t size = 0;
  files::Identity id;
  if (!files::stat_file(path("journal"), size, id)) size = 0, id = {};
  // A journal replaced or shrunk by someone else: start again from it.
  if (loaded && (id != identity || size < offset)) reload();
  if (!damage.empty()) return;
  identity = id;
  std::string data;
  if (size > offset && !files::read_from(path("journal"), offset, data)) return refuse_journal(records + 1, "unreadable");
  std::size_t start = 0;
  for (std::size_t end; (end = data.find('\n', start)) != std::string::npos; start = end + 1) {
    Command command;
    std::string why = decode_record(std::string_view(data).substr(start, end - start), command);
    const Operation *operation = why.empty() ? find_operation(command.op) : nullptr;
    if (why.empty() && !operation) why = "unknown operation " + command.op;
    Printout printout;
    Outcome outcome = operation ? operation->execute(state, printout, command) : Outcome::ok;
    if (why.empty() && outcome != Outcome::ok)
      why = command.function + " " + command.op + " does not apply: " + to_string(outcome);
    if (!why.empty()) return refuse_journal(records + 1, why);
    tape_bytes += add_printout(tape, printout).size();
    ++records;
    offset += end + 1 - start;
  }
  // What follows the last line end is a record torn while being written,
  // never acknowledged: it goes.
  if (start < data.size()) files::truncate(path("journal"), offset);
  if (!loaded || start > 0) check_tape_file(!loaded);
  loaded = true;
}

// tape.txt is a view of the tape: rewritten when it does not match the
// journal (a command whose page was not yet written when its process died).
// Compared in full at load, by its size after another process's commands.
void Printer::Impl::check_tape_file(bool in_full) {
  std::uint64_t size = 0;
  files::Identity ignored;
  if (!in_full && files::stat_file(path("tape.txt"), size, ignored) && size == tape_bytes) return;
  std::string expected, actual;
  for (const Page &page : tape) expected += page_text(page);
  files::read_all(path("tape.txt"), actual);
  if (actual != expected) files::write_all(path("tape.txt"), expected);
}

bool Printer::Impl::journal(const Command &command) {
  if (!files::append_durably(path("journal"), encode_record(command))) {
    files::truncate(path("journal"), offset);
    return false;
  }
  std::uint64_t size = 0;
  files::stat_file(path("journal"), size, identity);
  offset = size;
  ++records;
  return true;
}

void Printer::Impl::print(const Printout &printout) {
  std::string text = add_printout(tape, printout);
  tape_bytes += text.size();
  if (!text.empty()) files::append(path("tape.txt"), text);
}

}  // namespace ksim
