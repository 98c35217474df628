// The core's own declarations, shared by its source files only.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
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
// paper tape (paper feed, cut).
struct Printout {
  std::vector<Page> pages;
  std::vector<std::string> trailing;
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
std::uint32_t crc32(std::string_view data);
std::string encode_record(const Command &command);
// Empty text on success, else why the line is not a record.
std::string decode_record(std::string_view line, Command &command);

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
// The tape as tape.txt holds it; appending a printout returns the text added.
std::string page_text(const Page &page);
std::string add_printout(std::vector<Page> &tape, const Printout &printout);

// ---- Files of the platform ----
namespace files {
struct Identity {
  std::uint64_t device = 0, node = 0;
  bool operator==(const Identity &) const = default;
};
bool make_folders(const std::string &path);
// An exclusive lock on a file, held until unlock.
struct Lock {
  std::intptr_t handle = -1;
  bool locked() const { return handle != -1; }
};
Lock lock(const std::string &path);
void unlock(Lock &lock);
// The journal: size and identity, reading from an offset, appending
// durably, truncating a torn tail.
bool stat_file(const std::string &path, std::uint64_t &size, Identity &identity);
bool read_from(const std::string &path, std::uint64_t offset, std::string &data);
bool append_durably(const std::string &path, std::string_view data);
bool truncate(const std::string &path, std::uint64_t size);
bool read_all(const std::string &path, std::string &data);
bool write_all(const std::string &path, std::string_view data);  // replaces, via a temporary
bool append(const std::string &path, std::string_view data);
std::vector<std::string> list_folder(const std::string &path);
std::string environment(const char *name);
std::string home_folder();
void sleep_ms(int ms);
std::int64_t wall_clock();  // the workstation's local time, as a wall clock
}  // namespace files

// ---- Faults ----
struct FaultLine {
  std::string name, value;
  bool once = false;
};
std::vector<FaultLine> parse_faults(std::string_view text);
std::string faults_text(const std::vector<FaultLine> &lines);
Faults faults_of(const std::vector<FaultLine> &lines);

// ---- The printer in this process ----
#if defined(_WIN32)
constexpr char kSlash = '\\';
#else
constexpr char kSlash = '/';
#endif

struct Printer::Impl {
  std::string library, folder;  // folder empty: no data folder
  // One Session at a time in this process; the same thread may begin
  // another inside its own (a nested call shares the outer one's lock).
  std::recursive_mutex mutex;
  int depth = 0;
  files::Lock lock;
  State state = default_state();
  std::vector<Page> tape;
  std::uint64_t tape_bytes = 0;  // the size tape.txt has when it matches the tape
  std::uint64_t offset = 0;      // journal bytes applied
  std::uint64_t records = 0;     // records applied
  files::Identity identity;
  bool loaded = false;
  std::string damage;  // why the journal is refused; empty if sound
  bool damage_reported = false;
  std::map<std::type_index, std::shared_ptr<void>> locals;

  std::string path(std::string_view name) const { return folder + kSlash + std::string(name); }
  // Under the lock: applies the records appended since the last read.
  void catch_up();
  void reload();
  void refuse_journal(std::uint64_t record, const std::string &why);
  void check_tape_file(bool in_full);
  // Appends a command to the journal (durably); false when it cannot.
  bool journal(const Command &command);
  void print(const Printout &printout);
  std::vector<FaultLine> read_faults();
  void write_faults(const std::vector<FaultLine> &lines);
};

struct Session::Impl {
  Printer::Impl *printer = nullptr;
  std::unique_lock<std::recursive_mutex> guard;
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
