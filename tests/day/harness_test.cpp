// The harness itself: fresh folders per test, the message capture, the
// presets through the real exports, the printers read through the core.
#include "harness.h"

namespace kalpo::day {
namespace {

using HarnessTest = DayTest;

TEST_F(HarnessTest, EveryTestStartsWithAFreshProgrammedPrinter) {
  ksim::State first = state("bemafi32");
  EXPECT_EQ(first.coo, 0u);
  EXPECT_TRUE(tape("bemafi32").empty());
  set_clock("bemafi32", 2024, 5, 2);
  {
    ksim::Session session = ksim::Printer::of("bemafi32").begin("harness");
    ASSERT_EQ(session.x_reading(), ksim::Outcome::ok);
  }
  EXPECT_EQ(state("bemafi32").coo, 1u);
  ASSERT_EQ(tape("bemafi32").size(), 1u);
  EXPECT_NE(tape_text("bemafi32").find("LEITURA X"), std::string::npos);
  EXPECT_NE(tape_text("bemafi32").find("02/05/2024 12:00"), std::string::npos);

  fresh_folders();
  EXPECT_EQ(state("bemafi32").coo, 0u);
  EXPECT_TRUE(tape("bemafi32").empty());
  EXPECT_EQ(state("bemafi32").rates.size(), 6u);
}

TEST_F(HarnessTest, PresetsAnswerWithoutAPrinterOrAMessage) {
  const char *number = nullptr;
  EXPECT_EQ(KALPO_AbreCupom("ECFZANTRELLO", &number, "", "", ""), 1);
  EXPECT_EQ(KALPO_AbreCupom("NOTAFISCAL", &number, "", "", ""), 1);
  EXPECT_EQ(KALPO_AbreCupom("NENHUMA", &number, "", "", ""), 0);
  EXPECT_TRUE(messages().empty());
}

TEST_F(HarnessTest, APrinterSwitchedOffFailsWithAMessage) {
  set_fault("bemafi32", "off");
  const char *number = nullptr;
  EXPECT_EQ(KALPO_AbreCupom("BEMATECHMP20", &number, "", "", ""), 0);
  EXPECT_FALSE(take_messages().empty());
  EXPECT_EQ(state("bemafi32").coo, 0u);
}

TEST_F(HarnessTest, WindowsFilesLandUnderTheDriveCRoot) {
  write_configuration("[ECF]\r\nPORTACOM=COM2\r\n");
  EXPECT_EQ(read_windows_file("c:\\ZANTRELLO\\Configs\\KALPO.INI"), "[ECF]\r\nPORTACOM=COM2\r\n");
  EXPECT_EQ(ksim::windows_path("C:\\RETORNO.TXT"), root_ + "/drive_c/RETORNO.TXT");
}

}  // namespace
}  // namespace kalpo::day
