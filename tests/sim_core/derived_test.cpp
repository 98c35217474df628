// The files that follow from the journal, read back a part at a time: a
// day's coupon details among many days, the last pages of a long tape.
#include <filesystem>

#include "core/internal.h"
#include "core_fixture.h"

namespace ksim::testing {
namespace {

using DerivedTest = CoreTest;

TEST_F(DerivedTest, ADaysDetailsAndTheLastPagesAreFoundAmongMany) {
  const int coupons[] = {400, 1, 500, 300};  // more detail than one block of the search
  std::string journal;
  std::int64_t when = from_civil({2024, 5, 1, 9, 0, 0});
  for (int count : coupons) {
    for (int i = 0; i < count; ++i) {
      journal += encode_record({"test", "open_coupon", when, {"", "", ""}});
      journal += encode_record({"test", "sell", when, {"789", "ITEM", "UN", "T01", "1000", "1000", "0"}});
      journal += encode_record({"test", "start_closing", when, {"0"}});
      journal += encode_record({"test", "pay", when, {"1", "100"}});
      journal += encode_record({"test", "close_coupon", when, {""}});
    }
    journal += encode_record({"test", "z_reduction", when, {}});
    when += 86400;
  }
  std::filesystem::create_directories(printer_folder());
  write_file("journal", journal);
  Session s = printer().begin("test");
  const char *days[] = {"2024-05-01", "2024-05-02", "2024-05-03", "2024-05-04", "2024-05-05"};
  std::uint32_t coo = 0;
  for (int day = 0; day < 5; ++day) {
    std::vector<Detail> details = s.details(days[day]);
    ASSERT_EQ(details.size(), day < 4 ? static_cast<std::size_t>(coupons[day]) : 0u) << days[day];
    for (const Detail &detail : details) {
      EXPECT_EQ(detail.coupon.day, days[day]);
      EXPECT_EQ(detail.coupon.coo, ++coo);
    }
    ++coo;  // the reduction
  }
  std::vector<Page> last = printer().tape(3);
  ASSERT_EQ(last.size(), 3u);
  EXPECT_EQ(last[2].title, "REDUCAO Z");
  EXPECT_EQ(last[1].coo, coo - 2);
}

}  // namespace
}  // namespace ksim::testing
