// Looking at the virtual printers through the printer's own look
// (ksim::Printer::inspect): nothing is made, changed or followed, and a busy
// printer is waited for a bounded time; a printer not made yet, one that
// refuses its journal and one that cannot be read are each told apart.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "commands.h"
#include "core/printer.h"

namespace kt {

// The libraries a command is about: the one given, else every printer.
std::vector<std::string> libraries(const std::string &library);

// How long a look waits for a printer busy with a call.
inline constexpr int kViewWaitMs = 3000;

struct PrinterView {
  std::string library, folder;
  std::shared_ptr<ksim::Session> session;  // while looking: holds the printer's lock
  std::string refusal;                     // why the printer cannot be read (no session)
  bool damaged = false;                    // it refuses its journal

  bool absent() const { return !session && refusal.empty(); }
};

// The printer of a library looked at: no session when its folder does not
// exist yet or it cannot be read.
PrinterView view_printer(const std::string &library);
// A view already taken, as a PrinterView.
PrinterView view_of(const std::string &library, ksim::Inspection seen);

// "bemafi32: no printer yet (...)", for a printer whose folder is absent.
std::string no_printer_yet(const PrinterView &l);

// A printer that cannot be read: said on standard error, or with --json put
// in its entry.  Returns the exit status to end with.
int report_refusal(const Global &g, const PrinterView &l, nlohmann::json &entry);

// A printer looked at (with its session): counters, totals and the fiscal
// day, as `kalpo state --json` gives them.
nlohmann::json state_entry(const PrinterView &l);

// A fault and its value checked as `kalpo fault set` checks them
// (UsageError otherwise), and the faults set on a printer as
// [{"name", "value", "once"}].
void check_fault(const std::string &name, const std::string &value);
// Why a fault cannot be set: `code` unknown_fault or bad_fault_value (empty
// when it can), `why` the reason.
struct FaultRefusal {
  std::string code, why;
};
FaultRefusal fault_refusal(const std::string &name, const std::string &value);
// `refused`, when given, says why the printer or its faults file was not read.
nlohmann::json fault_entries(const std::string &library, std::string *refused = nullptr);
// A fault as a line of the printer's control file holds it:
// "[once ]<name>[ <value>]".
using FaultLine = ksim::FaultLine;
FaultLine fault_line(std::string line);

// The printer's clock, its offset set first when `seconds` is given (which
// makes the printer).  `entry` is {"offset", "now"} when the printer could
// be read; `look` tells a printer absent or unreadable.
struct ClockReading {
  std::optional<ksim::Session> made;  // ends after the look's session
  PrinterView look;
  nlohmann::json entry;
};
ClockReading clock_of(const std::string &library, std::optional<std::int64_t> seconds);
// Seconds from "90", "1d", "-2h", "30m", "+45s"; UsageError otherwise.
std::int64_t parse_offset(const std::string &text);

// Amounts the tool shows: "1234,56", a number in JSON.
std::string amount_text(ksim::Cents amount);
double amount_number(ksim::Cents amount);

}  // namespace kt
