// Looking at the virtual printers without changing them and without making
// a folder: a printer not made yet, one that refuses its journal and one
// whose lock cannot be taken are each told apart.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "commands.h"
#include "core/printer.h"

namespace kt {

// The libraries a command is about: the one given, else every printer.
std::vector<std::string> libraries(const std::string &library);

struct Look {
  std::string library, folder;
  std::optional<ksim::Session> session;  // while looking: holds the printer's lock
  std::string refusal;                   // why the printer cannot be read (no session)

  bool absent() const { return !session && refusal.empty(); }
};

// The printer of a library looked at: no session when its folder does not
// exist yet or it cannot be read.
Look look(const std::string &library);

// "bemafi32: no printer yet (...)", for a printer whose folder is absent.
std::string no_printer_yet(const Look &l);

// A printer that cannot be read: said on standard error, or with --json put
// in its entry.  Returns the exit status to end with.
int report_refusal(const Global &g, const Look &l, nlohmann::json &entry);

// Amounts the tool shows: "1234,56", a number in JSON.
std::string amount_text(ksim::Cents amount);
double amount_number(ksim::Cents amount);

}  // namespace kt
