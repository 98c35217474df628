#include "harness.h"

#include <dlfcn.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace kalpo::day {
namespace {

std::string read_file(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

void DayTest::SetUp() {
  fresh_folders();
  KALPO_DefineTratadorMensagens(&DayTest::capture, this);
}

void DayTest::TearDown() {
  KALPO_DefineTratadorMensagens(nullptr, nullptr);
  std::filesystem::remove_all(root_);
}

void DayTest::fresh_folders() {
  if (!root_.empty()) std::filesystem::remove_all(root_);
  std::string pattern = (std::filesystem::temp_directory_path() / "kalpo-day-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  root_ = pattern;
  std::filesystem::create_directories(root_ + "/drive_c");
  setenv("KALPO_SIM_DIR", (root_ + "/sim").c_str(), 1);
  setenv("KALPO_DRIVE_C", (root_ + "/drive_c").c_str(), 1);
  messages_.clear();
}

std::int32_t KALPO_CALL DayTest::capture(void *context, std::int32_t form, const char *text, const char *caption,
                                         std::uint32_t flags) {
  static_cast<DayTest *>(context)->messages_.push_back({form, text ? text : "", caption ? caption : "", flags});
  return flags == 0x24 ? KALPO_BTN_YES : KALPO_BTN_OK;
}

std::vector<Message> DayTest::take_messages() { return std::exchange(messages_, {}); }

std::string DayTest::library_of(std::string_view model) {
  static const std::pair<const char *, const char *> libraries[] = {
      {"BEMATECHMP20", "bemafi32"}, {"BEMATECHMFD", "bemafi32"}, {"SWEDA7000", "convecf"}, {"SIGTRONFS345", "fs345_32"},
      {"DARUMA32", "daruma32"},     {"DIGIARTE1E", "ecf32m"},    {"ELGINFIT", "dllg2"},    {"DATAREGISQUICK", "dllg2"},
      {"DATAREGISSERIAL", "dllg2"}, {"EPSON", "interfaceepson"}};
  for (const auto &[name, library] : libraries)
    if (model == name) return library;
  return {};
}

ksim::State DayTest::state(std::string_view library) { return ksim::Printer::of(library).state(); }

std::vector<ksim::Page> DayTest::tape(std::string_view library, std::size_t count) {
  return ksim::Printer::of(library).tape(count);
}

std::string DayTest::tape_text(std::string_view library) {
  return read_file(ksim::Printer::of(library).folder() + "/tape.txt");
}

void DayTest::set_fault(std::string_view library, std::string_view name, std::string_view value, bool once) {
  ksim::Printer::of(library).set_fault(name, value, once);
}

void DayTest::clear_faults(std::string_view library) { ksim::Printer::of(library).clear_faults(); }

void DayTest::set_clock(std::string_view library, int year, int month, int day, int hour, int minute) {
  ksim::Session session = ksim::Printer::of(library).begin("harness", ksim::Call::inspect);
  const ksim::State &s = session.state();
  std::int64_t workstation = session.now() - s.clock_offset - (s.daylight_saving ? 3600 : 0);
  std::int64_t wanted = ksim::from_civil({year, month, day, hour, minute, 0}) - (s.daylight_saving ? 3600 : 0);
  ASSERT_EQ(session.set_clock_offset(wanted - workstation), ksim::Outcome::ok);
}

std::string DayTest::read_windows_file(std::string_view path) const { return read_file(ksim::windows_path(path)); }

void DayTest::write_windows_file(std::string_view path, const std::string &text) const {
  std::string local = ksim::windows_path(path);
  std::filesystem::create_directories(std::filesystem::path(local).parent_path());
  std::ofstream(local, std::ios::binary) << text;
}

void DayTest::write_configuration(const std::string &ini) const {
  write_windows_file("C:\\zantrello\\configs\\kalpo.ini", ini);
}

void *maker_library(const char *file) {
  return dlopen((std::string(KALPO_DAY_LIB_DIR) + "/" + file).c_str(), RTLD_NOW);
}

}  // namespace kalpo::day
