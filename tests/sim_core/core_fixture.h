// A fresh data folder per test, and a printer in it.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "core/printer.h"

namespace ksim::testing {

class CoreTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  Printer &printer() { return Printer::of("core_test"); }
  // One operation in its own call.
  template <class F>
  Outcome call(F operation) {
    Session session = printer().begin("test");
    return operation(session);
  }
  // The printer as a new process finds it: loaded afresh from its files.
  Printer &fresh_load();
  // Puts the printer's clock at this date, at noon.
  void set_date(int year, int month, int day);
  std::string file(const char *name) const;
  void write_file(const char *name, const std::string &text) const;

  // The printer's folder deleted, and the copy of its counters kept in the
  // user's state folder: a new printer may start there.
  void start_afresh();

  std::string printer_folder() const { return folder_ + "/core_test"; }
  std::string folder_, state_;
  int loads_ = 0;
};

// Sells "item" at this unit price (thousandths) and quantity (thousandths).
Item item(std::string rate, Milli quantity, Milli unit_price, Cents discount = 0);

}  // namespace ksim::testing
