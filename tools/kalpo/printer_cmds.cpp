// tape, state, fault and clock: the virtual printer seen through its core.
#include <charconv>
#include <fstream>
#include <iostream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "commands.h"
#include "core/printer.h"
#include "exports.h"
#include "models.h"
#include "paper.h"

namespace kt {
namespace {

// The libraries a command is about: the one given, else every printer.
std::vector<std::string> libraries(const std::string &library) {
  return library.empty() ? printer_libraries() : std::vector<std::string>{library};
}

const char *document_name(ksim::Document d) {
  switch (d) {
    case ksim::Document::none: return "none";
    case ksim::Document::coupon: return "coupon";
    case ksim::Document::voucher: return "voucher";
    case ksim::Document::report: return "report";
  }
  return "?";
}

std::string cents(ksim::Cents amount) { return ksim::cents_text(amount, ','); }

// Seconds from "90", "1d", "-2h", "30m", "+45s".
std::int64_t parse_offset(const std::string &text) {
  std::int64_t value = 0;
  const char *begin = text.data() + (text.starts_with('+') ? 1 : 0);
  const char *end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(begin, end, value);
  const std::string unit(stop, end);
  const std::int64_t scale = unit.empty() || unit == "s" ? 1
                             : unit == "m"               ? 60
                             : unit == "h"               ? 3600
                             : unit == "d"               ? 86400
                                                         : 0;
  if (error != std::errc() || stop == begin || scale == 0)
    throw UsageError("--set: '" + text + "' is not an offset (seconds, or a number with d, h, m or s)");
  return value * scale;
}

const char *const kFaultNames[] = {"paper_end", "paper_near_end", "off",         "refuse",
                                   "slow",      "unreadable",     "driver_start"};

void check_fault_name(const std::string &name) {
  for (const char *known : kFaultNames)
    if (name == known) return;
  throw UsageError("fault: '" + name +
                   "' is not a fault (paper_end, paper_near_end, off, refuse, slow, unreadable, "
                   "driver_start)");
}

}  // namespace

int cmd_tape(const Global &g, const std::string &library, std::size_t last) {
  nlohmann::json out = nlohmann::json::object();
  for (const std::string &lib : libraries(library)) {
    const std::vector<ksim::Page> pages = ksim::Printer::of(lib).tape(last);
    if (g.json) {
      out[lib] = pages_json(pages);
    } else if (!pages.empty() || !library.empty()) {
      std::cout << lib << ": " << pages.size() << " document(s)\n";
      print_pages(pages);
    }
  }
  if (g.json) std::cout << out.dump(2) << '\n';
  return 0;
}

int cmd_state(const Global &g, const std::string &library) {
  nlohmann::json out = nlohmann::json::object();
  for (const std::string &lib : libraries(library)) {
    ksim::Printer &printer = ksim::Printer::of(lib);
    std::int64_t now = 0;
    {
      ksim::Session session = printer.begin("kalpo state", ksim::Call::inspect);
      now = session.now();
    }
    const ksim::State s = printer.state();
    const bool pending = !s.day.empty() && s.day != ksim::date_text(now);
    nlohmann::json j = {{"coo", s.coo},
                        {"ccf", s.ccf},
                        {"crz", s.crz},
                        {"grand_total", cents(s.grand_total)},
                        {"open_document", document_name(s.open)},
                        {"fiscal_day", s.day},
                        {"pending_reduction", pending},
                        {"last_reduction_day", s.last_reduction_day},
                        {"folder", printer.folder()}};
    if (g.json) {
      out[lib] = j;
      continue;
    }
    std::cout << lib << ": COO " << s.coo << "  CCF " << s.ccf << "  CRZ " << s.crz << "  GT " << cents(s.grand_total)
              << "  open: " << document_name(s.open) << "  day: " << (s.day.empty() ? "closed" : s.day)
              << (pending ? "  REDUCTION PENDING" : "") << '\n';
  }
  if (g.json) std::cout << out.dump(2) << '\n';
  return 0;
}

int cmd_fault_set(const Global &, const std::string &library, const std::string &name, const std::string &value,
                  bool once) {
  check_fault_name(name);
  if ((name == "refuse" || name == "slow") && value.empty())
    throw UsageError("fault set " + name + ": the value is missing (" +
                     (name == "refuse" ? "the maker's code" : "milliseconds") + ")");
  for (const std::string &lib : libraries(library)) ksim::Printer::of(lib).set_fault(name, value, once);
  return 0;
}

int cmd_fault_clear(const Global &, const std::string &library, const std::string &name) {
  if (!name.empty()) check_fault_name(name);
  for (const std::string &lib : libraries(library)) {
    if (name.empty())
      ksim::Printer::of(lib).clear_faults();
    else
      ksim::Printer::of(lib).clear_fault(name);
  }
  return 0;
}

int cmd_fault_list(const Global &g, const std::string &library) {
  nlohmann::json out = nlohmann::json::object();
  for (const std::string &lib : libraries(library)) {
    // The control file: one fault a line, "[once ]<name>[ <value>]".
    std::ifstream in(ksim::Printer::of(lib).folder() + "/faults");
    nlohmann::json list = nlohmann::json::array();
    for (std::string line; std::getline(in, line);) {
      if (line.empty()) continue;
      const bool once = line.starts_with("once ");
      if (once) line.erase(0, 5);
      const std::size_t space = line.find(' ');
      list.push_back({{"name", line.substr(0, space)},
                      {"value", space == std::string::npos ? "" : line.substr(space + 1)},
                      {"once", once}});
    }
    if (g.json) {
      out[lib] = list;
      continue;
    }
    for (const auto &f : list)
      std::cout << lib << ": " << f["name"].get<std::string>()
                << (f["value"].get<std::string>().empty() ? "" : " " + f["value"].get<std::string>())
                << (f["once"].get<bool>() ? " (once)" : "") << '\n';
  }
  if (g.json) std::cout << out.dump(2) << '\n';
  return 0;
}

int cmd_clock(const Global &g, const std::string &library, const std::optional<std::string> &offset) {
  const std::optional<std::int64_t> seconds = offset ? std::optional(parse_offset(*offset)) : std::nullopt;
  nlohmann::json out = nlohmann::json::object();
  for (const std::string &lib : libraries(library)) {
    ksim::Session session = ksim::Printer::of(lib).begin("kalpo clock", ksim::Call::inspect);
    if (seconds && session.set_clock_offset(*seconds) != ksim::Outcome::ok)
      throw std::runtime_error(lib + ": the printer did not take the new offset");
    const ksim::DateTime now = ksim::civil(session.now());
    char when[32];
    std::snprintf(when, sizeof when, "%04d-%02d-%02d %02d:%02d:%02d", now.year, now.month, now.day, now.hour,
                  now.minute, now.second);
    out[lib] = {{"offset", session.state().clock_offset}, {"now", when}};
    if (!g.json)
      std::cout << lib << ": offset " << session.state().clock_offset << " s, printer clock " << when << '\n';
  }
  if (g.json) std::cout << out.dump(2) << '\n';
  return 0;
}

}  // namespace kt
