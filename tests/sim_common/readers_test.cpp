// The reader of digits, amounts and dates that every maker library of the
// virtual printer reads its arguments with.
#include "common/readers.h"

#include <gtest/gtest.h>

namespace {

TEST(Readers, Digits) {
  struct Row {
    const char *text;
    std::size_t least, most;
    common::Field status;
    std::int64_t value;
  } rows[] = {
      {"001500", 6, 15, common::Field::ok, 1500},
      {"", 1, 4, common::Field::empty, 0},
      {"12a4", 1, 4, common::Field::not_digits, 0},
      {"-12", 1, 4, common::Field::not_digits, 0},
      {"12345", 1, 4, common::Field::wrong_width, 0},
      {"12", 3, 4, common::Field::wrong_width, 0},
      {"9999999999999999999", 1, 30, common::Field::wrong_width, 0},  // beyond what 64 bits hold
  };
  for (const Row &r : rows) {
    const common::Number n = common::digits(r.text, r.least, r.most);
    EXPECT_EQ(n.status, r.status) << r.text;
    EXPECT_EQ(n.value, r.value) << r.text;
  }
  EXPECT_EQ(common::whole("-42"), -42);
  EXPECT_EQ(common::whole("4-2"), std::nullopt);
  EXPECT_EQ(common::whole("-"), std::nullopt);
}

TEST(Readers, Amounts) {
  const common::DecimalForm driver{",.", -1, false, false, true};  // any decimals, a sign
  const common::DecimalForm regional{",.", 2, false, true};        // exactly two, groups of three
  const common::DecimalForm fund{",", 2, true};                    // none or exactly two
  struct Row {
    const char *text;
    const common::DecimalForm &form;
    int places;
    std::optional<std::int64_t> value;
  } rows[] = {
      {"2,99", driver, 3, 2990},
      {"-1.5", driver, 2, -150},
      {"1,500", driver, 2, 150},  // zeros beyond the places
      {"1,505", driver, 2, std::nullopt},
      {"1,5,0", driver, 2, std::nullopt},
      {"1,", driver, 2, std::nullopt},
      {",5", driver, 2, std::nullopt},
      {"1e3", driver, 2, std::nullopt},
      {"1.000,50", regional, 2, 100050},
      {"1,000.50", regional, 2, 100050},
      {"1000,50", regional, 2, 100050},
      {"1.00,50", regional, 2, std::nullopt},   // a group of two
      {"1.000.50", regional, 2, std::nullopt},  // the same separator twice
      {"1000,5", regional, 2, std::nullopt},
      {"-1,50", regional, 2, std::nullopt},  // no sign in this form
      {"150", fund, 2, 15000},
      {"1,50", fund, 2, 150},
      {"1.50", fund, 2, std::nullopt},
      {"1234567890123456", driver, 0, std::nullopt},  // more than 15 digits
  };
  for (const Row &r : rows) EXPECT_EQ(common::decimal(r.text, r.form, r.places), r.value) << r.text;
}

TEST(Readers, DatesAreRealCalendarDates) {
  struct Row {
    const char *text, *pattern;
    const char *date;  // "YYYY-MM-DD", or nullptr when refused
  } rows[] = {
      {"07/12/26", "dd/mm/yy", "2026-12-07"}, {"07/12/2026", "dd/mm/yyyy", "2026-12-07"},
      {"29/02/24", "dd/mm/yy", "2024-02-29"}, {"29/02/25", "dd/mm/yy", nullptr},
      {"31/02/26", "dd/mm/yy", nullptr},      {"31022026", "ddmmyyyy", nullptr},
      {"310426", "ddmmyy", nullptr},          {"00/01/26", "dd/mm/yy", nullptr},
      {"01/13/26", "dd/mm/yy", nullptr},      {"7/12/26", "dd/mm/yy", nullptr},  // two digits where the pattern says so
      {"7/3/2026", "d/m/yyyy", "2026-03-07"}, {"2026-3-7", "yyyy-m-d", "2026-03-07"},
      {"07-12-26", "dd/mm/yy", nullptr},      {"07/12/26 ", "dd/mm/yy", nullptr},
      {"29/02/1900", "dd/mm/yyyy", nullptr},  {"29/02/2000", "dd/mm/yyyy", "2000-02-29"},
  };
  for (const Row &r : rows) {
    const auto when = common::date_time(r.text, r.pattern);
    EXPECT_EQ(when ? common::iso_date(*when) : "refused", r.date ? r.date : "refused") << r.text;
  }
}

TEST(Readers, Times) {
  const auto when = common::date_time("071226235959", "ddmmyyhhnnss");
  ASSERT_TRUE(when);
  EXPECT_EQ(when->hour * 10000 + when->minute * 100 + when->second, 235959);
  for (const char *bad : {"24:00:00", "12:60:00", "12:00:60", "12:0:00"})
    EXPECT_FALSE(common::date_time(bad, "hh:nn:ss")) << bad;
}

}  // namespace
