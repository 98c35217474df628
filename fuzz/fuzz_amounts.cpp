// Fuzzes the amount conversions with arbitrary doubles (NaN, infinities,
// huge, negative, -0.0, under either regional setting) and the text cleaning
// and dates with arbitrary texts.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "coupon/normaliza_texto.h"
#include "frame/amounts.h"
#include "platform/dates.h"
#include "seam.h"

using namespace kalpo;
using namespace kalpo::frame;

namespace {

double any_double(FuzzedDataProvider &data) {
  constexpr double kSpecial[] = {NAN,    INFINITY, -INFINITY, -0.0,   0.0,   1e300,   -1e300,
                                 9.2e18, -9.3e18,  1.8e19,    0.0005, 2.675, 4.0e-320};
  if (data.ConsumeBool()) return kSpecial[data.ConsumeIntegralInRange<std::size_t>(0, std::size(kSpecial) - 1)];
  return data.ConsumeFloatingPoint<double>();
}

bool plain_number(const std::string &text, const platform::Regional &settings) {
  for (char c : text) {
    const bool allowed = (c >= '0' && c <= '9') || c == '-' || c == 'E' ||
                         settings.decimal.find(c) != std::string::npos ||
                         settings.thousands.find(c) != std::string::npos;
    if (!allowed) return false;
  }
  return !text.empty();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  const platform::Regional settings =
      data.ConsumeBool() ? platform::Regional{",", ".", "dd/MM/yyyy"} : platform::Regional{".", ",", "M/d/yyyy"};
  const double value = any_double(data);
  const int width = data.ConsumeIntegralInRange<int>(-5, 80);
  const int decimals = data.ConsumeIntegralInRange<int>(-5, 20);

  const std::string padded = amounts::thousandths_padded(value, width);
  if (static_cast<int>(padded.size()) < std::min(width, 64)) fuzz::violated("a padded number is short");
  for (const std::string &text :
       {padded, amounts::hundredths_plain(value), amounts::regional(value, decimals, settings),
        amounts::general(value, settings), amounts::general(static_cast<long double>(value) * 100.0L, settings)}) {
    if (!plain_number(text, settings)) fuzz::violated("a number text holds other characters");
  }
  if (!std::isfinite(value) && amounts::thousandths(value) != 0) fuzz::violated("a non-finite value is not 0");

  platform::format_date(platform::from_day_count(value), data.ConsumeRandomLengthString(32));
  coupon::normaliza_texto(data.ConsumeRemainingBytesAsString());
  return 0;
}
