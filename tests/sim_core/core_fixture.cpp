#include "core_fixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace ksim::testing {

void CoreTest::SetUp() {
  std::string pattern = (std::filesystem::temp_directory_path() / "kalpo-core-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  folder_ = pattern;
  setenv("KALPO_SIM_DIR", folder_.c_str(), 1);
  // The copies of the counters marks kept outside the data folder.
  pattern = (std::filesystem::temp_directory_path() / "kalpo-core-state-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  state_ = pattern;
  setenv("XDG_STATE_HOME", state_.c_str(), 1);
}

void CoreTest::TearDown() {
  std::filesystem::remove_all(folder_);
  std::filesystem::remove_all(state_);
}

void CoreTest::start_afresh() {
  std::filesystem::remove_all(printer_folder());
  std::filesystem::remove_all(state_ + "/kalpo");
}

// The same folder under another name is another printer to Printer::of.
Printer &CoreTest::fresh_load() {
  std::string alias = folder_;
  for (int i = 0; i <= loads_; ++i) alias += "/.";
  ++loads_;
  setenv("KALPO_SIM_DIR", alias.c_str(), 1);
  return printer();
}

void CoreTest::set_date(int year, int month, int day) {
  Session session = printer().begin("test");
  std::int64_t base = session.now() - session.state().clock_offset - (session.state().daylight_saving ? 3600 : 0);
  ASSERT_EQ(session.set_clock_offset(from_civil({year, month, day, 12, 0, 0}) - base), Outcome::ok);
}

std::string CoreTest::file(const char *name) const {
  std::ifstream in(printer_folder() + "/" + name, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void CoreTest::write_file(const char *name, const std::string &text) const {
  std::ofstream(printer_folder() + "/" + name, std::ios::binary) << text;
}

Item item(std::string rate, Milli quantity, Milli unit_price, Cents discount) {
  Item i;
  i.code = "789";
  i.description = "ITEM";
  i.unit = "UN";
  i.rate = std::move(rate);
  i.quantity = quantity;
  i.unit_price = unit_price;
  i.discount = discount;
  return i;
}

}  // namespace ksim::testing
