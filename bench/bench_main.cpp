// Speed of the paths a sale runs through many times: the export boundary with
// its dispatch, the amount conversions and the profile reading.
#include <benchmark/benchmark.h>

#include "frame/amounts.h"
#include "kalpo.h"
#include "platform/platform.h"
#include "platform/profile.h"
#include "support/fake.h"

namespace {

void ExportWithoutPrinter(benchmark::State &state) {
  kalpo::test::Fake fake;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        KALPO_VendaItem("ECFZANTRELLO", "7891000100103", "CAFE", "01", "I", 1.5, 2, 2.99, "", 0.0));
  }
}
BENCHMARK(ExportWithoutPrinter);

void SaleItemOnBematech(benchmark::State &state) {
  kalpo::test::Fake fake;
  fake.returns("Bematech_FI_VendeItemDepartamento", 1);
  fake.on("Bematech_FI_RetornoImpressora", [](kalpo::test::Call &c) { c.set_int(0, 6); });
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        KALPO_VendaItem("BEMATECHMP20", "7891000100103", "CAFE", "01", "I", 1.5, 2, 2.99, "", 0.0));
    fake.clear();
  }
}
BENCHMARK(SaleItemOnBematech);

void AmountConversions(benchmark::State &state) {
  const auto brazil = kalpo::test::Fake::brazil();
  double v = 1234.5;
  for (auto _ : state) {
    benchmark::DoNotOptimize(kalpo::amounts::thousandths_padded(v, 10));
    benchmark::DoNotOptimize(kalpo::amounts::regional(v, 2, brazil));
    benchmark::DoNotOptimize(kalpo::amounts::general(v, brazil));
  }
}
BENCHMARK(AmountConversions);

void ProfileLookup(benchmark::State &state) {
  std::string ini =
      "[ECF]\r\nPORTACOM=COM1\r\nVELOCIDADE=115200\r\nPARIDADE=n\r\nDESATIVAFACA=N\r\nMENSAGEM=Volte!\r\n";
  std::string value;
  for (auto _ : state) benchmark::DoNotOptimize(kalpo::platform::ini_lookup(ini, "ECF", "MENSAGEM", value));
}
BENCHMARK(ProfileLookup);

}  // namespace

BENCHMARK_MAIN();
