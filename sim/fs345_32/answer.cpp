#include "fs345_32/answer.h"

#include "common/ports.h"

#include <chrono>
#include <mutex>
#include <thread>

namespace fs345 {
namespace {

// The library's memory of its serial link, as the maker's library keeps it
// in the point-of-sale process.
struct Link {
  std::mutex mutex;
  bool open = false;
  bool unreadable_settings = false;  // the last opening could not read its port text
  std::string answer;
  std::int32_t error = 0;
};

ksim::Printer &printer() { return ksim::Printer::of("fs345_32"); }

Link &link() { return printer().local<Link>(); }

int error_for(ksim::Outcome outcome) {
  using ksim::Outcome;
  switch (outcome) {
    case Outcome::paper_end: return paper_out;
    case Outcome::no_coupon_open: return document_not_open;
    case Outcome::coupon_open:
    case Outcome::wrong_document: return document_open;
    case Outcome::wrong_phase:
    case Outcome::payment_short: return closing_sequence;
    case Outcome::rate_not_programmed: return rate_not_defined;
    case Outcome::form_not_programmed: return form_invalid;
    case Outcome::item_not_found: return item_not_found;
    case Outcome::cancel_not_allowed: return nothing_to_cancel;
    case Outcome::voucher_not_allowed: return voucher_refused;
    case Outcome::day_closed: return fs345::day_closed;
    case Outcome::reduction_pending: return fs345::reduction_pending;
    case Outcome::nothing_to_report: return 19;  // "Memória Fiscal Vazia"
    default: return syntax;
  }
}

// An injected refusal names the printer's error number ("50", "E50").
int injected(const ksim::Session &session) {
  return common::refusal_number(session.faults().refuse_code.value_or(""), syntax);
}

bool known_baud(std::int64_t baud) {
  for (std::int64_t b : {110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 38400, 57600, 115200})
    if (b == baud) return true;
  return false;
}

// "COMn:baud,parity,data bits,stop bits", as the port setting is written;
// "COMn" alone is "COMn:9600,n,8,1".
bool valid_settings(std::string_view s) {
  const std::size_t colon = s.find(':');
  if (!common::com_port(s.substr(0, colon))) return false;
  if (colon == std::string_view::npos) return true;
  std::string_view rest = s.substr(colon + 1);
  std::string_view part[4];
  for (int i = 0; i < 4; ++i) {
    const std::size_t comma = rest.find(',');
    part[i] = rest.substr(0, comma);
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    if (comma == std::string_view::npos && i < 3) return false;
  }
  if (!rest.empty()) return false;
  const common::Number baud = common::digits(part[0], 1, 6);
  const bool parity = part[1].size() == 1 && std::string_view("nNeEoO").find(part[1][0]) != std::string_view::npos;
  return baud.ok() && known_baud(baud.value) && parity && (part[2] == "7" || part[2] == "8") &&
         (part[3] == "1" || part[3] == "2");
}

}  // namespace

Reply refuse(int error) { return Reply{error, {}, false}; }

std::string coo_field(const ksim::Session &session) { return common::padded(session.state().coo, 6); }

Reply reply(ksim::Outcome outcome, const ksim::Session &session) {
  if (outcome == ksim::Outcome::ok) return Reply{-1, coo_field(session), false};
  if (outcome == ksim::Outcome::no_communication) return Reply{-1, {}, true};
  if (outcome == ksim::Outcome::refused) return refuse(injected(session));
  return refuse(error_for(outcome));
}

Reply done(std::string fields) { return Reply{-1, std::move(fields), false}; }

std::int32_t run(const char *function, std::int32_t mode, const Command &command, ksim::Call call) noexcept {
  Link &l = link();
  std::lock_guard lock(l.mutex);
  l.answer.clear();
  l.error = 0;
  if (!l.open) {
    // A port text that could not be read is told at every command, as the
    // printer's syntax error; a port never opened has no error number.
    l.error = l.unreadable_settings ? error_offset + syntax : link_not_open;
    return -1;
  }
  try {
    ksim::Session session = printer().begin(function, call);
    const ksim::Faults &faults = session.faults();
    if (faults.slow_ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(faults.slow_ms));
    const std::string lead = faults.paper_near_end ? "*" : ".";
    const Reply r = session.silent()               ? Reply{-1, {}, true}
                    : faults.unreadable            ? Reply{-1, {}, false}
                    : (mode == '0' || mode == '1') ? command(session)
                                                   : refuse(invalid_character);
    if (r.silent) {
      l.error = link_no_answer;
      return -1;
    }
    if (faults.unreadable) {  // the error number of the answer is line noise
      l.answer = lead + "E?#";
      l.error = link_no_answer;
      return -1;
    }
    if (r.error < 0) {
      l.answer = lead + "+" + (mode == '1' ? r.fields : "");
      return 0;
    }
    l.answer = lead + "E" + common::padded(r.error, 2);
    l.error = error_offset + r.error;
    return -1;
  } catch (...) {
    l.answer.clear();
    l.error = link_no_answer;
    return -1;
  }
}

bool open_port(std::string_view settings) noexcept {
  Link &l = link();
  std::lock_guard lock(l.mutex);
  l.open = l.unreadable_settings = false;
  try {
    if (printer().faults().driver_start_refused) {
      // Used up by this opening when it is a one-shot fault.
      if (printer().begin("DAR_AbreSerial", ksim::Call::start).faults().driver_start_refused) return false;
    }
  } catch (...) {
    return false;
  }
  l.open = valid_settings(settings);
  l.unreadable_settings = !l.open;
  if (l.unreadable_settings) l.error = error_offset + syntax;
  return l.open;
}

std::int32_t last_error() noexcept {
  std::lock_guard lock(link().mutex);
  return link().error;
}

std::int32_t copy_answer(char *buffer, std::int32_t size) noexcept {
  Link &l = link();
  std::lock_guard lock(l.mutex);
  if (!buffer || size <= 0) return 0;
  const std::size_t n = std::min<std::size_t>(l.answer.size(), std::size_t(size));
  l.answer.copy(buffer, n);
  if (n < std::size_t(size)) buffer[n] = '\0';
  return std::int32_t(n);
}

}  // namespace fs345
