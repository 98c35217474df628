// Amount texts the maker libraries build with cents_text.
#include <gtest/gtest.h>

#include "core/printer.h"

namespace ksim {
namespace {

TEST(CentsText, DecimalsAndSeparators) {
  struct Case {
    Cents amount;
    char separator;
    int decimals;
    const char *text;
  };
  const Case cases[] = {
      {123456, ',', 2, "1234,56"}, {123456, '.', 3, "1234.560"}, {5, ',', 2, "0,05"},   {-5, ',', 2, "-0,05"},
      {149, ',', 0, "1"},          {150, ',', 0, "2"},           {5, '.', 1, "0.1"},    {4, '.', 1, "0.0"},
      {0, ',', 2, "0,00"},         {7, ',', 4, "0,0700"},
  };
  for (const Case &c : cases) EXPECT_EQ(cents_text(c.amount, c.separator, c.decimals), c.text) << c.amount;
}

TEST(Civil, DatesRoundTrip) {
  for (std::int64_t when : {0LL, 951782400LL, 1709985600LL, 4102444799LL}) EXPECT_EQ(from_civil(civil(when)), when);
  EXPECT_EQ(date_text(from_civil({2024, 2, 29, 23, 59, 59})), "2024-02-29");
  EXPECT_EQ(date_text(from_civil({2024, 2, 29, 24, 0, 0})), "2024-03-01");
}

}  // namespace
}  // namespace ksim
