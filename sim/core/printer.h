// The virtual fiscal printer: one maker-neutral fiscal core that every maker
// library under sim/ drives.  A maker library translates its maker's calls
// and argument forms into the operations below and the Outcome of each into
// its maker's own answers; the core knows nothing of any maker.
//
// One printer per maker library, kept in its own folder under the data
// folder (data_dir()).  Every completed operation is durable before it
// returns: it is appended to the printer's journal (checksummed, flushed),
// from which the state is rebuilt when the printer is loaded, starting from
// the checkpoint written at the last Z reduction.  Operations on one printer
// are serialised across processes by an exclusive file lock held for the
// length of a Session.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <typeindex>
#include <typeinfo>
#include <vector>

#include "core/safe_file.h"

namespace ksim {

using Cents = std::int64_t;  // money in hundredths of a real
using Milli = std::int64_t;  // quantities and unit prices in thousandths

// A sequence that only grows (fiscal memory, a report's lines), whose copies
// share what they hold: copying the state for each operation costs the same
// on the printer's last day as on its first.  Its first items may be kept
// elsewhere (the fiscal memory on disk) and read when first looked at; its
// size and last item are known without reading them.  A copy sees what it
// held when made; read one only while no Session of the printer runs on
// another thread.
template <class T>
class AppendOnly {
 public:
  using value_type = T;
  using Loader = std::function<std::vector<T>()>;

  AppendOnly() = default;
  // `count` items kept elsewhere, the last of them `last`, read by `load`.
  AppendOnly(std::size_t count, T last, Loader load)
      : storage_(std::make_shared<Storage>(Storage{{}, count, std::move(last), std::move(load)})), size_(count) {}

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const T &back() const {
    return size_ == storage_->unread ? *storage_->last : storage_->items[size_ - storage_->unread - 1];
  }
  const T &operator[](std::size_t i) const { return begin()[i]; }
  const T *begin() const {
    if (!storage_) return nullptr;
    read();
    return storage_->items.data();
  }
  const T *end() const { return begin() + size_; }

  void push_back(T item) {
    if (!storage_ || storage_->unread + storage_->items.size() != size_) own();
    storage_->items.push_back(std::move(item));
    ++size_;
  }
  void clear() { *this = {}; }

  bool operator==(const AppendOnly &other) const { return std::equal(begin(), end(), other.begin(), other.end()); }

 private:
  struct Storage {
    std::vector<T> items;  // after the unread ones
    std::size_t unread = 0;
    std::optional<T> last;  // the last unread one
    Loader load;
  };

  void read() const {
    Storage &s = *storage_;
    if (s.unread == 0) return;
    std::vector<T> items = s.load();
    items.resize(s.unread);
    items.insert(items.end(), std::make_move_iterator(s.items.begin()), std::make_move_iterator(s.items.end()));
    s = Storage{std::move(items), 0, std::nullopt, nullptr};
  }

  // Another copy appended past this one: drop what it added when no copy
  // holds it, else take a storage of this copy's own.
  void own() {
    if (!storage_) {
      storage_ = std::make_shared<Storage>();
      return;
    }
    std::size_t mine = size_ - storage_->unread;
    if (storage_.use_count() == 1) {
      storage_->items.erase(storage_->items.begin() + static_cast<std::ptrdiff_t>(mine), storage_->items.end());
      return;
    }
    storage_ = std::make_shared<Storage>(
        Storage{{storage_->items.begin(), storage_->items.begin() + static_cast<std::ptrdiff_t>(mine)},
                storage_->unread,
                storage_->last,
                storage_->load});
  }

  std::shared_ptr<Storage> storage_;
  std::size_t size_ = 0;
};

// What became of one operation.  Each maker library maps these onto its own
// codes; a refusal changes nothing in the printer.
enum class Outcome {
  ok,
  no_communication,     // printer off, damaged journal: no answer at all
  paper_end,            // nothing can be printed
  no_coupon_open,       // a coupon operation with no coupon open
  coupon_open,          // a coupon (or other document) is already open
  wrong_document,       // another kind of document is open (voucher, report)
  wrong_phase,          // e.g. an item after the closing started, a payment before it
  payment_short,        // closing before the payments cover the total
  rate_not_programmed,  // tax code unknown to the printer
  form_not_programmed,  // payment form unknown to the printer
  item_not_found,       // cancel of an item that does not exist or is already cancelled
  cancel_not_allowed,   // cancel of the last coupon when it is no longer the last document
  voucher_not_allowed,  // no such payment in the last coupon, or amount above it
  day_closed,           // the day's reduction is done: no document until the next calendar day
  reduction_pending,    // the fiscal day began on an earlier date: reduction first
  invalid_argument,     // a field that cannot be read (not a number, out of range, empty)
  nothing_to_report,    // fiscal-memory reading with no reduction in the range
  refused,              // refused by an injected fault with a maker code (see Faults::refuse_code)
};

const char *to_string(Outcome outcome);

// Kinds of document a printer can have open.
enum class Document { none, coupon, voucher, report };

// Phases of an open coupon.
enum class Phase { selling, totalled, paying };

// A programmed tax rate.  Codes: "T01".."T16" for taxed rates by index,
// "FF" substitution, "II" exempt, "NN" non-incidence.
struct Rate {
  std::string code;
  int index = 0;         // 1-based index for taxed rates, 0 otherwise
  int basis_points = 0;  // 1800 for 18,00 %, 0 for FF/II/NN

  bool operator==(const Rate &) const = default;
};

// A programmed payment form, by name ("Dinheiro", "Cartao", "Ticket").
struct PaymentForm {
  int index = 0;  // 1-based
  std::string name;

  bool operator==(const PaymentForm &) const = default;
};

struct Item {
  int number = 0;  // 1-based, in the order sold
  std::string code, description, unit;
  std::string rate;  // a Rate::code
  Milli quantity = 0;
  Milli unit_price = 0;
  Cents discount = 0;  // item discount
  Cents total = 0;     // quantity * unit price, rounded half up to the cent, less discount
  bool cancelled = false;
  // Decimals the paper shows, the value rounded half up to them (0 to 3):
  // the quantity with three by default, the unit price with two unless its
  // third is not zero (price_decimals -1).
  int quantity_decimals = 3;
  int price_decimals = -1;

  bool operator==(const Item &) const = default;
};

struct Payment {
  int form = 0;  // PaymentForm::index
  Cents amount = 0;
  Cents vouchered = 0;  // amount already covered by linked vouchers

  bool operator==(const Payment &) const = default;
};

struct Coupon {
  std::uint32_t coo = 0, ccf = 0;
  std::string customer_name, customer_address, customer_document;
  std::vector<Item> items;
  Cents adjustment = 0;  // subtotal discount (negative) or surcharge (positive)
  std::vector<Payment> payments;
  Phase phase = Phase::selling;
  std::string message;  // promotional message printed at the close
  bool closed = false, cancelled = false;
  std::string day;  // fiscal day of the coupon, "YYYY-MM-DD"

  Cents subtotal() const;  // the items not cancelled
  Cents total() const;     // subtotal + adjustment
  Cents paid() const;
  Cents change() const;  // paid - total when positive

  bool operator==(const Coupon &) const = default;
};

// One record of fiscal memory: a Z reduction.
struct Reduction {
  std::uint32_t crz = 0, coo = 0, cro = 0;
  std::string date;       // fiscal day, "YYYY-MM-DD"
  std::int64_t when = 0;  // printer time of the reduction, seconds since the epoch
  Cents grand_total = 0, gross = 0, cancellations = 0, discounts = 0, surcharges = 0;
  std::vector<std::pair<std::string, Cents>> per_rate;  // Rate::code -> net sales

  bool operator==(const Reduction &) const = default;
};

// The open (or last) non-fiscal document: a linked voucher or a report.
struct NonFiscal {
  Document kind = Document::none;
  std::uint32_t coo = 0;
  int form = 0;                   // voucher: PaymentForm::index
  Cents amount = 0;               // voucher: amount
  std::uint32_t coupon_coo = 0;   // voucher: COO of its coupon
  std::string title;              // report: title
  AppendOnly<std::string> lines;  // the free text printed so far

  bool operator==(const NonFiscal &) const = default;
};

// Defaults of a new printer (see sim/README.md).
struct Identity {
  std::string serial = "KP0000000000000001";  // 18 characters at most
  std::string firmware = "01.00.00";
  std::string store_name = "KALPO COMERCIO DE TESTE LTDA";
  std::string cnpj = "00.000.000/0001-91", ie = "000.000.000.000";
  std::string address = "RUA DO TESTE, 100 - CENTRO - SAO PAULO - SP";

  bool operator==(const Identity &) const = default;
};

// Everything the printer holds.
struct State {
  Identity identity;
  std::vector<Rate> rates;
  std::vector<PaymentForm> forms;

  std::uint32_t coo = 0, ccf = 0, gnf = 0, crz = 0, cro = 1, ccdc = 0, grg = 0;
  Cents grand_total = 0;
  // Movement of the current fiscal day.
  std::string day;                 // "YYYY-MM-DD" when the day is open, empty otherwise
  std::string last_reduction_day;  // fiscal day of the last reduction
  Cents day_gross = 0, day_cancellations = 0, day_discounts = 0, day_surcharges = 0;
  std::vector<std::pair<std::string, Cents>> day_per_rate;

  Document open = Document::none;
  std::optional<Coupon> coupon;          // the open coupon, or the last one closed/cancelled
  bool last_document_is_coupon = false;  // nothing printed since the coupon of `coupon`
  AppendOnly<Reduction> fiscal_memory;

  std::int64_t clock_offset = 0;  // seconds added to the workstation's clock
  bool daylight_saving = false;   // one hour more while on
  int lines_between_documents = 0;
  bool cut_next = true;
  std::uint32_t drawer_openings = 0;

  // Added to the first version of this interface.
  std::optional<NonFiscal> nonfiscal;               // the open or last voucher/report
  Cents day_supplies = 0;                           // cash fund registered at the day's opening
  std::vector<std::pair<int, Cents>> day_per_form;  // PaymentForm::index -> amount paid (change not deducted)
  std::map<std::string, std::string> values;        // Session::set_value (small settings)
  std::uint32_t cuts = 0, fed_lines = 0;

  bool operator==(const State &) const = default;
};

// A fiscal coupon as the detail memory keeps it: as it stood when closed or
// cancelled, and the printer time of that command.
struct Detail {
  Coupon coupon;
  std::int64_t when = 0;

  bool operator==(const Detail &) const = default;
};

// The printer's date and time, broken down.  The printer's clock is a wall
// clock: seconds since 1970-01-01 00:00 of that clock, no time zone.
struct DateTime {
  int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};
DateTime civil(std::int64_t when);
std::int64_t from_civil(const DateTime &when);
std::string date_text(std::int64_t when);  // "YYYY-MM-DD"

// One record of a printer's journal, as the printer writes it: operation
// `op` by maker function `function` at printer time `when`.  For programs
// that give a printer a long history at once (the benchmarks).
std::string journal_record(std::string function, std::string op, std::int64_t when, std::vector<std::string> args);

// What kind of maker call a Session serves; decides which one-shot faults
// the call uses up (see sim/README.md).
enum class Call {
  query,    // reads only: touched by off, slow, unreadable, paper_near_end
  command,  // may change the printer: also by refuse (and paper_end on printing)
  start,    // the maker's open/start call: also by driver_start
  inspect,  // tools and tests looking at the printer: touched by no fault
};

// Faults injected from outside through the control file "faults" in the
// printer's folder.  Each is lasting or one-shot (used up by the next call
// that the fault touches).
struct Faults {
  bool paper_end = false;                  // printing operations answer paper_end
  bool paper_near_end = false;             // a warning bit in the status; documents still print
  bool off = false;                        // no answer: no_communication
  std::optional<std::string> refuse_code;  // the next command refused with this maker code
  int slow_ms = 0;                         // the answer is late by this much
  bool unreadable = false;                 // numeric fields of the answer are not numbers
  bool driver_start_refused = false;       // the maker's open/start call fails

  bool operator==(const Faults &) const = default;
};

// The faults a printer knows, and what the value of each is (null when it
// takes none).
struct FaultKind {
  const char *name;
  const char *value;
};
inline constexpr FaultKind kFaultKinds[] = {
    {"paper_end", nullptr},   {"paper_near_end", nullptr}, {"off", nullptr},          {"refuse", "the maker's code"},
    {"slow", "milliseconds"}, {"unreadable", nullptr},     {"driver_start", nullptr},
};

// A line of the faults control file: "[once ]<name>[ <value>]".  A line
// naming no fault the printer knows (a comment, a blank line) has an empty
// name and is kept whole in `value`.
struct FaultLine {
  std::string name, value;
  bool once = false;
};

// One page of the paper tape: a document as printed, 48 columns a line.
struct Page {
  std::uint32_t coo = 0;
  std::string title;  // "CUPOM FISCAL", "LEITURA X", ...
  std::vector<std::string> lines;

  bool operator==(const Page &) const = default;
};

// The data folder: $KALPO_SIM_DIR, else "kalpo-sim" under the drive-C root
// ($KALPO_DRIVE_C, else ~/.kalpo/drive_c; on Windows c:\kalpo-sim).
std::string data_dir();
// A Windows path ("C:\RETORNO.TXT") mapped to this machine (under the
// drive-C root outside Windows, which ".." never leaves; a path without a
// drive letter is on drive C; empty for another drive or a network path).
std::string windows_path(std::string_view path);
// A file that a maker library's caller names (a fiscal file, a log): a full
// path on drive C, mapped as windows_path maps it; empty when it has no drive
// letter, is on another drive, or lies in the data folder (the printers' own
// files).
std::string caller_file(std::string_view path);
// A caller's file is written, and a log appended, by safe_file.h.
// Makes a folder and the missing ones above it, owner-only; false when it
// cannot be made or is not a folder.
bool make_folders(const std::string &path);

class Printer;
class Session;

// A look at a printer, for tools and the service (Printer::inspect).
struct Inspection {
  enum class Kind {
    sound,       // `session` holds the printer: its state, tape and faults may be read
    absent,      // no folder yet: no printer has been made
    busy,        // another process held the printer's lock past the deadline
    damaged,     // the printer refuses its journal
    unreadable,  // its folder or files cannot be used (not a folder, a link, another user's, ...)
  };
  Kind kind = Kind::absent;
  std::string reason;  // busy, damaged, unreadable: why, for a person
  std::shared_ptr<Session> session;
};

// Where a follower of the paper stands (Printer::pages_after), and the
// paper's change stamp (Printer::paper_stamp): a length of tape.txt and the
// identity of the file it is of (a printer made afresh has another).
struct TapeMark {
  std::uint64_t bytes = 0, device = 0, node = 0;

  bool operator==(const TapeMark &) const = default;
};

// What Printer::check found: what it checked, and each fault with its place.
struct CheckReport {
  std::vector<std::string> checked, faults;
  bool sound() const { return faults.empty(); }
};

// One maker call: holds the printer's lock, with the state caught up with
// every command completed by any process.  The operations validate against
// the state, and on success journal the command (durable before they
// return), apply it and print its page.  Every operation returns
// Outcome::no_communication when the printer is off or its journal damaged.
class Session {
 public:
  ~Session();
  Session(Session &&) noexcept;
  Session(const Session &) = delete;

  const State &state() const;
  // The faults of this call.  One-shot faults are used up by this call.
  const Faults &faults() const;
  // The printer's clock now (workstation + offset + daylight saving).
  std::int64_t now() const;
  // Set when the printer cannot answer (fault "off", damaged journal).
  bool silent() const;

  // Lookups a maker library uses to read its arguments.
  const Rate *rate_by_code(std::string_view code) const;  // "T01", "FF", ...
  const Rate *rate_by_index(int index) const;
  const Rate *rate_by_percent(int basis_points) const;
  const PaymentForm *form_by_name(std::string_view name) const;  // ASCII case-insensitive
  const PaymentForm *form_by_initial(char initial) const;
  const PaymentForm *form_by_index(int index) const;

  // The fiscal day and the coupon.
  Outcome open_day(Cents fund = 0, int form = 0);
  Outcome open_coupon(std::string_view document = {}, std::string_view name = {}, std::string_view address = {});
  Outcome sell(Item item);  // number and total are set by the core
  Outcome cancel_item(int number);
  Outcome cancel_last_item();
  Outcome start_closing(Cents adjustment);  // negative: discount
  Outcome start_closing_percent(int basis_points, bool discount);
  Outcome pay(int form, Cents amount);
  Outcome close_coupon(std::string_view message);
  Outcome cancel_coupon();  // open, or the last document

  // Non-fiscal documents.
  Outcome open_voucher(int form, Cents amount, std::optional<std::uint32_t> coo = {});
  Outcome open_report(std::string_view title = {});
  Outcome print_line(std::string_view text);  // into the open voucher or report
  Outcome close_voucher();
  Outcome close_report();

  // Day reports and fiscal memory.
  Outcome x_reading();
  Outcome z_reduction();
  Outcome memory_by_date(std::string_view from, std::string_view to);  // "YYYY-MM-DD"
  Outcome memory_by_crz(int from, int to);

  // Device.
  Outcome open_drawer();
  Outcome feed(int lines);
  Outcome cut();
  Outcome set_lines_between_documents(int lines);
  Outcome toggle_cut_next();
  Outcome set_daylight_saving(bool on);
  Outcome set_clock_offset(std::int64_t seconds);

  // A maker library's own durable value (a setting it records), kept in the
  // journal under its name.
  Outcome set_value(std::string_view name, std::string_view value);
  std::optional<std::string> value(std::string_view name) const;

  // The detail memory of a fiscal day ("YYYY-MM-DD"): its coupons by COO,
  // each as last closed or cancelled.  Read from disk, that day alone.
  std::vector<Detail> details(std::string_view day) const;

 private:
  friend class Printer;
  struct Impl;
  explicit Session(std::unique_ptr<Impl>);
  std::unique_ptr<Impl> impl_;
};

class Printer {
 public:
  // The printer of one maker library ("bemafi32", "daruma32", ...), in
  // the folder data_dir()/<library>, created programmed with the defaults
  // when absent.  One instance per library in a process.
  static Printer &of(std::string_view library);

  // Starts one call: takes the lock, catches up with the journal, reads
  // the faults file (using up one-shot faults).  `function` is the maker
  // function's name, for the journal and the damage report.  A thread
  // may begin a call inside its own open call (it shares the lock); another
  // thread or process waits.
  Session begin(std::string_view function);  // a Call::command
  Session begin(std::string_view function, Call call);

  std::string folder() const;

  // A look: no folder or file is made, no link followed, nothing written,
  // and the printer's lock (or this process's own turn on the printer) is
  // waited for `wait_ms` at most, else the look answers busy.
  Inspection inspect(int wait_ms);
  // The lines of the faults control file, for a look; a printer that cannot
  // be looked at has none.  `refused`, when given, says why the printer or
  // its faults file was not read.
  std::vector<FaultLine> fault_lines(int wait_ms, std::string *refused = nullptr);
  // The printer checked from end to end, under a look: every journal
  // record's checksum and order, each checkpoint, the tape, the details and
  // the fiscal memory against the journal, and its files' kinds, owners and
  // modes.  Nothing is written.
  CheckReport check(int wait_ms);
  // The printer opened afresh accepting that its folder was restored from a
  // backup: counters behind the highest it issued are taken as they are (said
  // in notice.txt) instead of refused.  The inspection of the printer then.
  Inspection accept_restore(int wait_ms);

  // The paper tape as tape.txt holds it, oldest first; the last `count`
  // pages when count > 0 (read from the end of the file).
  std::vector<Page> tape(std::size_t count = 0);

  // Following the paper.  paper_stamp: tape.txt's length and identity, read
  // without the lock and without following a link; unchanged while nothing
  // is printed (empty when there is no paper).  Under a look (a sound
  // Inspection held; else nothing): tape_end, where the paper the printer
  // recorded ends; pages_after, the pages that begin past `mark`, found by
  // the tape's own page marks, with `mark` moved to the end.  Lines fed after
  // a page do not make it new; a tape other than the mark's is read from its
  // start; a follower more than kFollowBytes behind gets the pages of the
  // last kFollowBytes alone.
  static constexpr std::uint64_t kFollowBytes = 8 << 20;
  TapeMark paper_stamp() const;
  TapeMark tape_end();
  std::vector<Page> pages_after(TapeMark &mark);

  // Faults, for tools and tests (the control file, shared by processes).
  Faults faults() const;
  void set_fault(std::string_view name, std::string_view value, bool one_shot);
  void clear_faults();
  void clear_fault(std::string_view name);

  // The state now, caught up with the journal, touching no fault.
  State state();

  // A slot of this process for the maker library's own in-memory state
  // (a value of type T, default-constructed), reset when the data folder
  // changes.
  template <class T>
  T &local() {
    std::shared_ptr<void> &slot = local_slot(std::type_index(typeid(T)));
    if (!slot) slot = std::make_shared<T>();
    return *static_cast<T *>(slot.get());
  }

  ~Printer();

 private:
  friend class Session;
  struct Impl;
  explicit Printer(std::string library);
  std::shared_ptr<void> &local_slot(std::type_index type);
  std::unique_ptr<Impl> impl_;
};

// One follower of a printer's paper (`kalpo tape --follow`, the service's
// page events): each poll gives the pages printed since the one before, each
// once.  A poll looks at the printer (and waits for its lock) only when the
// paper's stamp changed.
class TapeFollower {
 public:
  explicit TapeFollower(std::string library = {}) : library_(std::move(library)) {}
  // Under a look at the printer: what its paper holds now is not new.
  void skip_printed();
  struct Poll {
    Inspection look;  // its kind and reason (the session is not kept); sound when nothing changed
    std::vector<Page> pages;
  };
  // The pages printed since, the printer waited for `wait_ms` at most.  A
  // printer that cannot be looked at is asked again by the next poll.
  Poll poll(int wait_ms);

 private:
  std::string library_;
  TapeMark seen_;
  std::optional<TapeMark> stamp_;  // the paper's stamp when last read
};

// Formatting the maker libraries share: "1234,56" / "1234.56" and the like.
std::string cents_text(Cents amount, char decimal_separator, int decimals = 2);

}  // namespace ksim
