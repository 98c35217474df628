// The texts made for a printer and the decisions on them depend only on the
// settings the library reads itself, never on the host process's global
// locale: a comma-decimal one and a Turkish one (dotless i) are set here as a
// point-of-sale program may set them.
#include <gtest/gtest.h>

#include <clocale>
#include <locale>
#include <string>

#include "base/ini.h"
#include "frame/amounts.h"
#include "kalpo.h"
#include "makers/sessions.h"
#include "platform/platform.h"
#include "support/fake.h"
#include "support/transcripts.h"

namespace {

using namespace kalpo;
using namespace kalpo::frame;
using namespace kalpo::test;

class HostLocale : public ::testing::TestWithParam<const char *> {
 protected:
  void SetUp() override {
    saved_ = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, GetParam()), nullptr)
        << GetParam() << " is not installed (tools/install-deps.sh installs locales-all)";
    std::locale::global(std::locale(GetParam()));
  }
  void TearDown() override {
    std::setlocale(LC_ALL, saved_.c_str());
    std::locale::global(std::locale::classic());
  }

 private:
  std::string saved_;
};

TEST_P(HostLocale, NumberTextsFollowTheWorkstationSettingsOnly) {
  const platform::Regional point{".", ",", "M/d/yyyy"};
  EXPECT_EQ(amounts::general(2.99L, point), "2.99");
  EXPECT_EQ(amounts::general(0.000015L, point), "1.5E-5");
  EXPECT_EQ(amounts::general(123456789012345678.0L, point), "1.23456789012346E17");
  EXPECT_EQ(amounts::regional(1234567.891, 2, point), "1,234,567.89");
  EXPECT_EQ(amounts::regional(1e20, 1, point), "100,000,000,000,000,000,000.0");
  EXPECT_EQ(amounts::regional(0.05, 3, {",", ".", ""}), "0,050");
  EXPECT_EQ(amounts::thousandths_padded(2.99, 8), "00002990");
}

TEST_P(HostLocale, AsciiDecisionsIgnoreTheHostsCaseRules) {
  std::string value;
  EXPECT_TRUE(base::ini::lookup("[ecf]\nvelocidade=9600\n", "ECF", "VELOCIDADE", value));
  EXPECT_EQ(value, "9600");
  EXPECT_TRUE(base::ini::lookup("[ECF]\nVELOCIDADE=19200\n", "ecf", "velocidade", value));
  EXPECT_EQ(value, "19200");
  EXPECT_EQ(makers::epson_port_number("com12"), 12);
  EXPECT_EQ(makers::dllg2_port_name("com3:9600"), "com3");
}

TEST_P(HostLocale, CommandDriverSaleSendsTheWorkstationsDecimalPoint) {
  Fake fake;
  fake.settings = Fake::united_states();
  driver(1, 0)(fake);
  EXPECT_EQ(KALPO_VendaItem("ELGINFIT", "789", "Arroz", "T01", "I", 1.5, 2, 2.99, "", 0), 1);
  expect_transcript(
      fake.lines, cat(usb_opening(), command(0, "VendeItem",
                                             {param(0, "CodAliquota", "T01", 4), param(0, "CodProduto", "789", 7),
                                              param(0, "NomeProduto", "Arroz", 7), param(0, "PrecoUnitario", "2.99", 6),
                                              param(0, "Quantidade", "1.5", 6), param(0, "Unidade", "UN", 7)})));
}

INSTANTIATE_TEST_SUITE_P(Locales, HostLocale, ::testing::Values("pt_BR.UTF-8", "tr_TR.UTF-8"),
                         [](const auto &info) { return std::string(info.param).substr(0, 5); });

}  // namespace
