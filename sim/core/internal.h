// The core's own declarations, shared by its source files only.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/printer.h"

namespace ksim {

// ---- One journalled command ----
struct Command {
  std::string function;   // the maker function that made it
  std::string op;         // the operation's name ("sell", ...)
  std::int64_t when = 0;  // printer time used
  std::vector<std::string> args;
};

// What one command printed: new pages, then lines added at the end of the
// paper tape (paper feed, cut); and the coupon it closed or cancelled, for
// the detail memory, or the reduction it recorded.
struct Printout {
  std::vector<Page> pages;
  std::vector<std::string> trailing;
  std::optional<Detail> detail;
  std::optional<Reduction> reduction;  // for the fiscal memory's file
};

// ---- Operations: one function each, applied live and at replay ----
using Execute = Outcome (*)(State &, Printout &, const Command &);
struct Operation {
  std::string_view name;
  Execute execute;
  bool printing;  // refused at paper end
};
const Operation *find_operation(std::string_view name);

// Every operation, with whether it prints (refused at paper end).
// clang-format off
#define KSIM_OPERATIONS(X) \
  X(open_day, true) \
  X(open_coupon, true) \
  X(sell, true) \
  X(cancel_item, true) \
  X(cancel_last_item, true) \
  X(start_closing, true) \
  X(start_closing_percent, true) \
  X(pay, true) \
  X(close_coupon, true) \
  X(cancel_coupon, true) \
  X(open_voucher, true) \
  X(open_report, true) \
  X(print_line, true) \
  X(close_voucher, true) \
  X(close_report, true) \
  X(x_reading, true) \
  X(z_reduction, true) \
  X(memory_by_date, true) \
  X(memory_by_crz, true) \
  X(open_drawer, false) \
  X(feed, true) \
  X(cut, true) \
  X(set_lines_between_documents, false) \
  X(toggle_cut_next, false) \
  X(set_daylight_saving, false) \
  X(set_clock_offset, false) \
  X(set_value, false)
// clang-format on
namespace ops {
#define KSIM_DECLARE_OPERATION(name, printing) Outcome name(State &, Printout &, const Command &);
KSIM_OPERATIONS(KSIM_DECLARE_OPERATION)
#undef KSIM_DECLARE_OPERATION
}  // namespace ops

// Reading a command's arguments: false when absent or not a number.
bool arg_int(const Command &command, std::size_t index, std::int64_t &value);
std::string arg_text(const Command &command, std::size_t index);

// ---- Record codec: "<crc32 hex> <length> <payload>\n" ----
// The payload is fields, tab-separated, escaped.  Journal records, the
// checkpoint and the lines of the detail and fiscal memories are all such
// records.
std::uint32_t crc32(std::string_view data);
std::string encode_fields(const std::vector<std::string> &fields);
// Empty text on success, else why the line (no line end) is not a record.
std::string decode_fields(std::string_view line, std::vector<std::string> &fields);
std::string encode_record(const Command &command);
std::string decode_record(std::string_view line, Command &command);
// The checksum a record line starts with.
std::uint32_t record_crc(std::string_view line);
// A last line with no line end: a record torn while it was written (shorter
// than its own declared length: never acknowledged), a complete record that
// lost only its line end, or neither.
enum class Tail { torn, complete, damaged };
Tail tail_kind(std::string_view text);

// ---- Numbers in texts ----
std::string number(std::int64_t value);
bool parse_int(std::string_view text, std::int64_t &value);
std::string pad_number(std::int64_t value, int width);  // zero-padded
std::string lower_ascii(std::string_view text);
Cents round_half_up(Milli quantity, Milli unit_price);  // -> cents

// ---- Defaults ----
State default_state();

class PageBuilder;

// ---- Day and documents ----
Outcome no_document_open(const State &state);
Outcome day_allows_documents(const State &state, std::int64_t when);
void open_day_if_needed(State &state, std::int64_t when);
// No document open and the day allows one.
Outcome can_start_document(const State &state, std::int64_t when);
// A new document: the next COO, and the last coupon no longer the last document.
std::uint32_t begin_document(State &state);
// The open coupon, for the operations on it.
Outcome coupon_is_open(const State &state);
// The open voucher or report, for its lines and close.
Outcome nonfiscal_is_open(const State &state, Document kind);
// Closes the open voucher or report: its page, the `head` lines, its text.
void close_nonfiscal(State &state, Printout &out, std::int64_t when, std::string title,
                     const std::function<void(PageBuilder &)> &head);
// A text split at its line ends (LF or CR LF); no text, one empty line.
std::vector<std::string> split_lines(std::string_view text);
// A coupon's paper, as it stands.
Page coupon_page(const State &state, const Coupon &coupon, std::int64_t when);
// Counters and the day's totals (X reading, Z reduction, opening of the day).
void day_summary(PageBuilder &page, const State &state);
void add_to(std::vector<std::pair<std::string, Cents>> &totals, const std::string &key, Cents amount);
void add_to(std::vector<std::pair<int, Cents>> &totals, int key, Cents amount);
const Rate *find_rate(const State &state, std::string_view code);
const PaymentForm *find_form(const State &state, int index);

// ---- Pages (48 columns) ----
constexpr std::size_t kColumns = 48;
inline constexpr const char *kCutLine = "- - - - - - - - - - corte - - - - - - - - - - -";
class PageBuilder {
 public:
  PageBuilder(const State &state, std::string title, std::uint32_t coo);
  // Store, rule, date-time, CCF (when not 0) and COO, title.
  void header(std::int64_t when, std::uint32_t ccf = 0);
  void text(std::string_view line);  // wrapped at 48 columns
  void center(std::string_view line);
  void pair(std::string_view left, std::string_view right);  // right text flush right
  void rule(char c = '-');
  void footer();  // serial number and firmware
  Page finish();  // with the lines between documents and the cut

 private:
  const State &state_;
  Page page_;
};
std::string money(Cents amount);                // "1.234,56"
std::string percent(int basis_points);          // "18,00%"
std::string quantity_text(Milli quantity);      // "1,000"
std::string date_time_text(std::int64_t when);  // "dd/mm/yyyy hh:mm:ss"
// The tape as tape.txt holds it: what a printout adds to it (the trailing
// lines of an empty tape go on a page of their own), and the pages of a text
// that begins at a page.
std::string page_text(const Page &page);
std::string tape_text(const Printout &printout, bool tape_empty);
std::vector<Page> read_pages(std::string_view text);

// ---- What the files hold besides the journal ----
// How far the journal has been applied, and the derived files that follow.
struct Position {
  std::uint64_t offset = 0, records = 0;                                // journal bytes and records applied
  std::uint64_t last_start = 0;                                         // where the last record applied starts
  std::uint32_t last_crc = 0;                                           // and its checksum
  std::uint64_t tape_bytes = 0, detail_bytes = 0, reduction_bytes = 0;  // the derived files as they follow

  bool operator==(const Position &) const = default;
};
// A checkpoint: the state but its fiscal memory, which stays on disk until
// looked at (its size and last reduction are here).
struct Checkpoint {
  Position at;
  State state;
  std::size_t reductions = 0;
  std::optional<Reduction> last;
};
std::string checkpoint_text(const Position &position, const State &state);
// Empty on success, else why the text is not a checkpoint.
std::string read_checkpoint(std::string_view text, Checkpoint &checkpoint);
// The detail memory and the fiscal memory's file: one record a coupon (its
// fiscal day first), one a reduction.
std::string detail_text(const Detail &detail);
bool read_detail(std::string_view line, Detail &detail);
std::string reduction_text(const Reduction &reduction);
bool read_reduction(std::string_view line, Reduction &reduction);
// Empty when the state's CRZ, COO and grand total are each at least these,
// else both, said for a person: "counters (...) are behind <whose> (...)".
std::string counters_behind(const State &state, std::int64_t crz, std::int64_t coo, std::int64_t grand_total,
                            std::string_view whose);
// A journal record applied to a state: empty, or why it cannot be.
std::string apply_record(std::string_view line, State &state, Printout &printout, Command &command);

// ---- Files of the platform ----
namespace files {
struct Identity {
  std::uint64_t device = 0, node = 0;
  bool operator==(const Identity &) const = default;
};
// Why the last failed call of this thread failed, with its cause
// ("journal: No space left on device").
const std::string &last_error();
// Records why `what` is refused, for last_error(); false.
bool refuse(std::string_view what, std::string_view why);
bool make_folders(const std::string &path);  // created owner-only
// A printer's folder, held open while the printer uses it: its files are
// reached through it (on Windows, where an open folder cannot be deleted,
// by its path).  Created (owner-only) when absent; refused when it is a
// link, not a folder, or another user's.
struct Folder {
  std::intptr_t handle = -1;
  std::string path;
  Identity identity;
  bool open() const { return handle != -1; }
};
// `create` false: an absent folder is not made (a look at the printer).
bool open_folder(const std::string &path, Folder &folder, bool create = true);
void close_folder(Folder &folder);
// Whether the folder's path still names the folder held (not deleted).
bool still_there(const Folder &folder);
// What stands under a file's name when it is not a regular file ("a link",
// "a FIFO", "a device", ...); empty when regular or absent.
std::string odd_kind(const Folder &folder, const char *name);
// An exclusive lock on a file, held until unlock.
struct Lock {
  std::intptr_t handle = -1;
  bool locked() const { return handle != -1; }
};
Lock lock(const Folder &folder, const char *name);
// The lock of an existing file, waited for `wait_ms` at most; `busy` when
// another process held it all that time.  The file is never created.
Lock try_lock(const Folder &folder, const char *name, int wait_ms, bool &busy);
void unlock(Lock &lock);
// Files are opened without following links and must be regular files,
// created owner-only.  stat_file: false when absent (last_error empty) or
// not readable; read_from: an absent file reads as empty.
bool stat_file(const Folder &folder, const char *name, std::uint64_t &size, Identity &identity);
bool read_from(const Folder &folder, const char *name, std::uint64_t offset, std::string &data,
               std::uint64_t limit = UINT64_MAX);
bool append(const Folder &folder, const char *name, std::string_view data, bool durably);
bool truncate(const Folder &folder, const char *name, std::uint64_t size);
// Replaced whole: a temporary written and renamed; `durably`, the temporary
// flushed first and the folder after.
bool write_all(const Folder &folder, const char *name, std::string_view data, bool durably = true);
bool rename(const Folder &folder, const char *from, const char *to);  // absent: nothing to do
std::vector<std::string> list_folder(const std::string &path);
// What stands at `path`, links not followed: absent (""), "folder", or
// what else ("a link", "a file", ...).
std::string path_kind(const std::string &path);
std::string environment(const char *name);
std::string home_folder();
void sleep_ms(int ms);
std::int64_t wall_clock();  // the workstation's local time, as a wall clock
}  // namespace files

// ---- Faults ----
std::vector<FaultLine> parse_faults(std::string_view text);
std::string faults_text(const std::vector<FaultLine> &lines);
Faults faults_of(const std::vector<FaultLine> &lines);

// ---- The printer in this process ----
#if defined(_WIN32)
constexpr char kSlash = '\\';
#else
constexpr char kSlash = '/';
#endif

// A file that follows from the journal (tape.txt, details), checked against
// the text that replaying gives, from a length known to match: rewritten
// from the first difference.  A file longer than what the journal gives
// shows records the journal lost.
class DerivedFile {
 public:
  // `read_only`: a difference is noted, never written (a look).
  DerivedFile(const files::Folder &folder, const char *name, std::uint64_t from, bool read_only = false);
  std::uint64_t add(std::string_view text);  // the text's length
  bool finish();                             // false when it could not be written (files::last_error)
  bool longer() const { return longer_; }
  // A difference was found (and, but in a look, the file rewritten from it).
  bool differed() const { return rewriting_ || differs_; }
  const char *name() const { return name_; }

 private:
  void flush();
  const files::Folder &folder_;
  const char *name_;
  std::uint64_t end_;  // where the pending text goes
  std::string pending_;
  bool read_only_, rewriting_ = false, failed_ = false, longer_ = false, differs_ = false;
};

// The files of a printer.
inline constexpr const char *kJournal = "journal", *kTape = "tape.txt", *kDetails = "details",
                            *kReductions = "reductions", *kFaults = "faults", *kDamaged = "damaged.txt",
                            *kNotice = "notice.txt", *kLock = "lock", *kCheckpoint = "checkpoint",
                            *kOldCheckpoint = "checkpoint.old";

struct Printer::Impl {
  std::string library, folder;  // folder empty: no data folder
  // One Session at a time in this process; the same thread may begin
  // another inside its own (a nested call shares the outer one's lock).
  std::recursive_timed_mutex mutex;
  int depth = 0;
  files::Folder dir;
  files::Lock lock;
  State state = default_state();
  Position at;  // what the state has applied
  files::Identity identity;
  bool loaded = false;
  bool usable = false;  // this call could reach the files
  // A look (Printer::inspect): nothing is made and nothing written, and the
  // lock is waited for `wait_ms` at most (`busy` when it was not had).
  bool looking = false, busy = false;
  int wait_ms = 0;
  std::string damage;             // why the journal is refused; empty if sound
  std::vector<std::string> said;  // notices already written to standard error
  std::string pending_notice;     // for notice.txt at the next call (found without the lock)
  std::map<std::type_index, std::shared_ptr<void>> locals;

  std::string path(std::string_view name) const { return folder + kSlash + std::string(name); }
  // At the start of a call: the folder, its lock, the journal caught up.
  void enter();
  void reload();
  void catch_up();
  bool start(bool present, std::uint64_t size);
  bool has_worked() const;
  void read_records(std::uint64_t size, bool fresh);
  // Each journal line from `from` until `to` (or the end), with its start;
  // what follows the last line end is left in `tail`.  False when the
  // journal cannot be read or `take` stops.
  bool read_lines(std::uint64_t from, std::uint64_t to,
                  const std::function<bool(std::string_view, std::uint64_t)> &take, std::string &tail);
  // The fiscal memory a checkpoint left on disk: its first `count`
  // reductions, from the file, else from the journal up to `offset`.
  std::vector<Reduction> read_fiscal_memory(std::size_t count, std::uint64_t bytes, std::uint64_t offset);
  // Whether the journal holds, from `start` to `end`, one record line with
  // this checksum.
  bool holds_record(std::uint64_t start, std::uint64_t end, std::uint32_t crc);
  // Appends a command to the journal (durably); false when it cannot.
  bool journal(const Command &command);
  void print(const Printout &printout);
  void write_checkpoint();
  // The highest counters issued, outside the folder (high_mark.cpp): written
  // with the checkpoint (`none`: a new printer has none), checked when the
  // printer is opened afresh.
  std::string mark_name() const;
  std::string data_folder() const;
  std::string outside_mark_path() const;  // the copy in the user's state folder
  bool with_root(const std::function<void(const files::Folder &)> &use) const;
  // `outside_too` false: the copy outside the data folder is left as it is
  // (a new printer made where another had issued documents falls behind it).
  void write_mark(bool none, bool durably, bool outside_too = true);
  void check_mark();
  // Why the printer falls behind a mark it left (in the data folder, else
  // the copy outside it), naming the mark; "" when it does not or there is
  // none.  `unreadable` names a mark that is there and cannot be read.
  std::string behind_mark(std::string &unreadable);
  std::string behind_mark_text(const std::string &text, std::string &unreadable, const std::string &where);
  bool accepting_restore = false;  // Printer::accept_restore
  // The journal refused (damaged.txt, once on standard error); a notice
  // (notice.txt, once on standard error); a file that cannot be used.
  void refuse(const std::string &why);
  // A printer refused is looked at afresh at its next call, the cause may
  // be gone (look_again, as the call begins): read again from its files, it
  // must still hold what this process had applied, `floor`; then the
  // refusal is lifted (lift_refusal, once the journal is caught up).
  void look_again();
  void lift_refusal();
  std::string lifted;  // the refusal being looked at again
  std::optional<std::pair<State, Position>> floor;
  void notice(const std::string &text, bool to_file = true);
  void trouble();
  // `refused`, when given, says why a faults file there was not read.
  std::vector<FaultLine> read_faults(std::string *refused = nullptr);
  void write_faults(const std::vector<FaultLine> &lines);
};

struct Session::Impl {
  Printer::Impl *printer = nullptr;
  std::unique_lock<std::recursive_timed_mutex> guard;
  std::string function;
  Call call = Call::command;
  Faults faults;
  bool paper_end_once = false;
  bool silent = false;

  Outcome run(std::string_view op, std::vector<std::string> args);
  void use_paper_end();
  std::int64_t now() const;
  ~Impl();
};

}  // namespace ksim
