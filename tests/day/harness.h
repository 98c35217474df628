// Whole-day tests: each test runs in a fresh data folder (KALPO_SIM_DIR)
// and drive-C root (KALPO_DRIVE_C), with the operator's messages captured
// (confirmations answered Yes), and reads the virtual printers through the
// fiscal core.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/printer.h"
#include "kalpo.h"
#include "paper.h"

namespace kalpo::day {

// The caller's text control: a text the library reads and may write back.
struct Control {
  explicit Control(std::string initial = {}) : text(std::move(initial)) {}
  Control(const Control &) = delete;
  Control &operator=(const Control &) = delete;
  KALPO_TextControl *get() { return &control; }

  std::string text;
  KALPO_TextControl control{this, &Control::get_text, &Control::set_text};

 private:
  static const char *KALPO_CALL get_text(void *self) { return static_cast<Control *>(self)->text.c_str(); }
  static void KALPO_CALL set_text(void *self, const char *text) { static_cast<Control *>(self)->text = text; }
};

struct Message {
  int form = 0;
  std::string text, caption;
  std::uint32_t flags = 0;
};

class DayTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A new data folder and drive-C root; the messages captured so far go.
  void fresh_folders();

  // The operator's messages since the start of the test (or the last take).
  const std::vector<Message> &messages() const { return messages_; }
  std::vector<Message> take_messages();

  // The maker library that serves a model ("BEMATECHMP20" -> "bemafi32").
  static std::string library_of(std::string_view model);

  // The virtual printer of a library, read through the core.
  ksim::State state(std::string_view library);
  std::vector<ksim::Page> tape(std::string_view library, std::size_t count = 0);
  std::string tape_text(std::string_view library);  // tape.txt
  void set_fault(std::string_view library, std::string_view name, std::string_view value = {}, bool once = false);
  void clear_faults(std::string_view library);
  // Puts the printer's clock at this date and time.
  void set_clock(std::string_view library, int year, int month, int day, int hour = 12, int minute = 0);

  // Files under the drive-C root ("C:\\RETORNO.TXT"), and the configuration file.
  std::string read_windows_file(std::string_view path) const;
  void write_windows_file(std::string_view path, const std::string &text) const;
  void write_configuration(const std::string &ini) const;

  std::string root_;  // holds sim/ and drive_c/

 private:
  static std::int32_t KALPO_CALL capture(void *context, std::int32_t form, const char *text, const char *caption,
                                         std::uint32_t flags);
  std::vector<Message> messages_;
};

// A maker library of the build, opened by its path (a library libkalpo has
// not loaded yet is not found by name through the sanitizers' dlopen).
void *maker_library(const char *file);

}  // namespace kalpo::day
