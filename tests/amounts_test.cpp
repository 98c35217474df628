#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "frame/amounts.h"
#include "support/fake.h"

namespace {

using namespace kalpo;
using namespace kalpo::frame;
using kalpo::test::Fake;

struct Conversion {
  const char *name;
  std::function<std::string()> convert;
  const char *expected;
};

void PrintTo(const Conversion &c, std::ostream *os) { *os << c.name; }

const platform::Regional kBrazil = Fake::brazil();
const platform::Regional kUnitedStates = Fake::united_states();

const Conversion kConversions[] = {
    // Thousandths: the nearest whole number, halves to the even neighbour.
    {"ThousandthsQuantity", [] { return amounts::thousandths_plain(1.5); }, "1500"},
    {"ThousandthsPrice", [] { return amounts::thousandths_plain(2.99); }, "2990"},
    {"ThousandthsHalfDown", [] { return amounts::thousandths_plain(0.0625); }, "62"},
    {"ThousandthsHalfUp", [] { return amounts::thousandths_plain(0.1875); }, "188"},
    {"ThousandthsNegative", [] { return amounts::thousandths_plain(-1.5); }, "-1500"},
    {"ThousandthsPadded6", [] { return amounts::thousandths_padded(1.5, 6); }, "001500"},
    {"ThousandthsPadded8", [] { return amounts::thousandths_padded(1.5, 8); }, "00001500"},
    {"ThousandthsPadded10", [] { return amounts::thousandths_padded(2.99, 10); }, "0000002990"},
    {"ThousandthsPadded11", [] { return amounts::thousandths_padded(2.99, 11); }, "00000002990"},
    {"ThousandthsWiderKeepsDigits", [] { return amounts::thousandths_padded(1234.5678, 6); }, "1234568"},
    {"ThousandthsPaddedNegative", [] { return amounts::thousandths_padded(-1.5, 6); }, "-001500"},
    // Hundredths.
    {"HundredthsPlain", [] { return amounts::hundredths_plain(1.5); }, "150"},
    {"HundredthsHalfToEven", [] { return amounts::hundredths_plain(0.125); }, "12"},
    {"HundredthsZero", [] { return amounts::hundredths_plain(0); }, "0"},
    // 1.115 is slightly below 1.115: its product is below the half, although
    // the product rounded to a double would be exactly 111.5.
    {"HundredthsExtendedProduct", [] { return amounts::hundredths_plain(1.115); }, "111"},
    {"Hundredths12", [] { return amounts::hundredths_padded(1.5, 12); }, "000000000150"},
    {"Hundredths13", [] { return amounts::hundredths_padded(1.5, 13); }, "0000000000150"},
    {"Hundredths14", [] { return amounts::hundredths_padded(1.5, 14); }, "00000000000150"},
    {"Hundredths15", [] { return amounts::hundredths_padded(1.5, 15); }, "000000000000150"},
    {"Hundredths15Half", [] { return amounts::hundredths_padded(0.125, 15); }, "000000000000012"},
    {"Hundredths15Zero", [] { return amounts::hundredths_padded(0, 15); }, "000000000000000"},
    {"Hundredths12Negative", [] { return amounts::hundredths_padded(-1.5, 12); }, "-000000000150"},
    {"HundredthsNotANumber", [] { return amounts::hundredths_plain(std::nan("")); }, "0"},
    // Regional with N decimals and thousands separators.
    {"RegionalThreeDecimals", [] { return amounts::regional(1234.5, 3, kBrazil); }, "1.234,500"},
    {"RegionalThousandAndAHalf", [] { return amounts::regional(1000.5, 2, kBrazil); }, "1.000,50"},
    {"RegionalUnitedStates", [] { return amounts::regional(1000.5, 2, kUnitedStates); }, "1,000.50"},
    {"RegionalTwoDecimals", [] { return amounts::regional(1.5, 2, kBrazil); }, "1,50"},
    {"RegionalPrice", [] { return amounts::regional(2.99, 2, kBrazil); }, "2,99"},
    {"RegionalMillions", [] { return amounts::regional(1234567.891, 2, kBrazil); }, "1.234.567,89"},
    {"RegionalCarry", [] { return amounts::regional(999.999, 2, kBrazil); }, "1.000,00"},
    {"RegionalNegative", [] { return amounts::regional(-1000.5, 2, kBrazil); }, "-1.000,50"},
    {"RegionalNegativeRoundsToZero", [] { return amounts::regional(-0.001, 2, kBrazil); }, "0,00"},
    {"RegionalNoDecimalsHalfToEven", [] { return amounts::regional(2.5, 0, kBrazil); }, "2"},
    {"RegionalFiveDecimals", [] { return amounts::regional(0.5, 5, kUnitedStates); }, "0.50000"},
    // General: up to 15 significant digits, no thousands separator.
    {"GeneralFraction", [] { return amounts::general(1.5, kBrazil); }, "1,5"},
    {"GeneralWhole", [] { return amounts::general(2, kBrazil); }, "2"},
    {"GeneralPrice", [] { return amounts::general(2.99, kBrazil); }, "2,99"},
    {"GeneralNegated", [] { return amounts::general(-2.5, kBrazil); }, "-2,5"},
    {"GeneralNegativeZero", [] { return amounts::general(-0.0L, kBrazil); }, "0"},
    {"GeneralUnitedStates", [] { return amounts::general(1.5, kUnitedStates); }, "1.5"},
    {"GeneralNoThousands", [] { return amounts::general(1234567.5, kBrazil); }, "1234567,5"},
    {"GeneralFifteenDigits", [] { return amounts::general(0.1 + 0.2, kBrazil); }, "0,3"},
    {"GeneralLarge", [] { return amounts::general(1e15, kBrazil); }, "1E15"},
    {"GeneralSmall", [] { return amounts::general(0.000001, kBrazil); }, "1E-6"},
    // Hundredths as a general text: not rounded to a whole number.
    {"HundredthsGeneralHalf", [] { return amounts::hundredths_general(0.125); }, "12,5"},
    {"HundredthsGeneralWhole", [] { return amounts::hundredths_general(1.5); }, "150"},
    {"HundredthsGeneralPrice", [] { return amounts::hundredths_general(2.99); }, "299"},
    // Fifteen digits of the extended product, which round up; the product
    // rounded to a double first would round down (...0866811).
    {"HundredthsGeneralFifteenDigitsOfProduct", [] { return amounts::hundredths_general(665150.91086681152); },
     "66515091,0866812"},
};

class Amounts : public ::testing::TestWithParam<Conversion> {};

TEST_P(Amounts, Converts) {
  Fake fake;  // Brazilian regional settings for the forms that read them
  EXPECT_EQ(GetParam().convert(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Examples, Amounts, ::testing::ValuesIn(kConversions),
                         [](const auto &info) { return std::string(info.param.name); });

// The general form written without the C library agrees with the C
// library's: amounts in cents and thousandths, their products by 100, values
// next to powers of ten and next to halves of the fifteenth digit.
TEST(Amounts, GeneralFormAgreesWithTheCLibrary) {
  const platform::Regional c_spelling{".", "", "dd/MM/yyyy"};
  std::mt19937_64 random(18);
  std::vector<long double> values;
  for (int i = 0; i < 40000; ++i) {
    const double cents = static_cast<double>(random() % 100'000'000'000) / 100;
    const double thousandths = static_cast<double>(random() % 10'000'000) / 1000;
    const int exponent = static_cast<int>(random() % 21) - 6;
    const long double power = std::pow(10.0L, exponent);
    const long double digits = static_cast<long double>(random() % 1'000'000'000'000'000) / 1e15L;
    values.insert(values.end(), {cents, cents * 100.0L, thousandths, -thousandths, digits * power,
                                 (std::floor(digits * 1e15L) + 0.5L) / 1e15L * power, std::nextafter(power, 0.0L),
                                 std::nextafter(power, 1e30L)});
  }
  for (const long double value : values) {
    char c_form[64];
    *std::to_chars(c_form, c_form + sizeof c_form, value, std::chars_format::general, 15).ptr = '\0';
    // An exponent as the general form writes it: 1.5e-05 is 1.5E-5.
    std::string expected = c_form;
    if (auto e = expected.find('e'); e != std::string::npos) {
      const std::size_t digits = expected.find_first_not_of("+-0", e + 2);
      expected = expected.substr(0, e) + (expected[e + 1] == '-' ? "E-" : "E") + expected.substr(digits);
    }
    ASSERT_EQ(amounts::general(value, c_spelling), expected) << static_cast<double>(value);
  }
}

}  // namespace
