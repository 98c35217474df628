// fault set|clear|list: the faults injected into the virtual printers
// through each printer's control file.
#include <algorithm>
#include <iostream>
#include <utility>

#include <nlohmann/json.hpp>

#include "exports.h"
#include "output.h"
#include "printer_view.h"

namespace kt {
namespace {

using Fault = ksim::FaultKind;

const Fault *fault_named(const std::string &name) {
  for (const Fault &f : ksim::kFaultKinds)
    if (name == f.name) return &f;
  return nullptr;
}

// The value is one word on the fault's line of the control file.
std::string value_refusal(const Fault &f, const std::string &value) {
  if (!f.value && !value.empty()) return "takes no value, '" + as_utf8(value) + "' given";
  if (f.value && value.empty()) return "the value is missing (" + std::string(f.value) + ")";
  if (value.find_first_of(" \t\r\n") != std::string::npos) return "the value is one word, with no blank or line break";
  if (f.name == std::string("slow") &&
      (value.find_first_not_of("0123456789") != std::string::npos || value.size() > 9 || std::stol(value) == 0))
    return "'" + as_utf8(value) + "' is not a number of milliseconds above 0";
  return {};
}

void said(const Global &g, const std::string &library, const std::string &what) {
  if (!g.json) std::cout << library << ": " << what << '\n';
}

}  // namespace

FaultRefusal fault_refusal(const std::string &name, const std::string &value) {
  const Fault *f = fault_named(name);
  if (!f) {
    std::string names;
    for (const Fault &known : ksim::kFaultKinds) names += (names.empty() ? "" : ", ") + std::string(known.name);
    return {"unknown_fault", "'" + as_utf8(name) + "' is not a fault (" + names + ")"};
  }
  std::string why = value_refusal(*f, value);
  return {why.empty() ? "" : "bad_fault_value", why};
}

void check_fault(const std::string &name, const std::string &value) {
  const FaultRefusal refused = fault_refusal(name, value);
  if (!refused.code.empty()) throw UsageError("fault set " + as_utf8(name) + ": " + refused.why);
}

FaultLine fault_line(std::string line) {
  FaultLine f;
  f.once = line.starts_with("once ");
  if (f.once) line.erase(0, 5);
  const std::size_t space = line.find(' ');
  f.name = line.substr(0, space);
  if (space != std::string::npos) f.value = line.substr(space + 1);
  return f;
}

nlohmann::json fault_entries(const std::string &library, std::string *refused) {
  nlohmann::json list = nlohmann::json::array();
  for (const FaultLine &f : ksim::Printer::of(library).fault_lines(kViewWaitMs, refused))
    list.push_back({{"name", as_utf8(f.name)}, {"value", as_utf8(f.value)}, {"once", f.once}});
  return list;
}

int cmd_fault_set(const Global &g, const std::string &library, const std::string &name, const std::string &value,
                  bool once) {
  check_fault(name, value);
  nlohmann::json out = nlohmann::json::object();
  for (const std::string &lib : libraries(library)) {
    ksim::Printer::of(lib).set_fault(name, value, once);
    said(g, lib,
         name + (value.empty() ? "" : " " + value) +
             (once ? " set, used up by the next call it touches" : " set until cleared"));
    out[lib] = {{"name", name}, {"value", value}, {"once", once}};
  }
  if (g.json) print_json(out);
  return kExitDone;
}

int cmd_fault_clear(const Global &g, const std::string &library, const std::string &name) {
  if (!name.empty()) fault_named(name);
  nlohmann::json out = nlohmann::json::object();
  for (const std::string &lib : libraries(library)) {
    const PrinterView l = view_printer(lib);
    if (l.absent()) continue;  // no printer: no fault to clear
    if (name.empty())
      ksim::Printer::of(lib).clear_faults();
    else
      ksim::Printer::of(lib).clear_fault(name);
    said(g, lib, name.empty() ? "every fault cleared" : name + " cleared");
    out[lib] = name.empty() ? "all" : name;
  }
  if (g.json) print_json({{"cleared", out}});
  return kExitDone;
}

int cmd_fault_list(const Global &g, const std::string &library) {
  nlohmann::json out = nlohmann::json::object();
  int status = kExitDone;
  for (const std::string &lib : libraries(library)) {
    std::string refused;
    const nlohmann::json list = fault_entries(lib, &refused);
    if (!refused.empty()) {
      warn(lib + ": the faults are not read: " + printable(refused));
      status = kExitFailed;
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
  if (g.json) print_json(out);
  return status;
}

}  // namespace kt
