// Printer state and cash drawer: the status bytes, the open-coupon question
// and the drawer, per model.
#include <gtest/gtest.h>

#include "kalpo.h"
#include "support/fake.h"
#include "support/transcripts.h"

namespace {

using namespace kalpo::test;

// ---- status bytes ----

// The status call writes ACK 6, ST1 2 and ST2 0 into whatever it is given.
void status_writes(Fake &f, int32_t ret) {
  f.on("Bematech_FI_VerificaEstadoImpressora", [ret](Call &c) {
    c.set_int(0, 6);
    c.set_int(1, 2);
    c.set_int(2, 0);
    c.result = ret;
  });
}

TEST(PrinterState, ReadsStatusBytesIntoTheCallersIntegers) {
  const std::string call = "Bematech_FI_VerificaEstadoImpressora(&-1, &-1, &-1)";
  std::vector<Row> cases = {
      {"MP20", "BEMATECHMP20", [](Fake &f) { status_writes(f, 1); }, 1, cat(call, kBematechStatus), {}, "6 2 0"},
      {"MFD communication error keeps what was written",
       "BEMATECHMFD",
       [](Fake &f) { status_writes(f, 0); },
       0,
       cat(call, kCommunicationError),
       {},
       "6 2 0"},
      {"Daruma: no call, untouched", "DARUMA32", nullptr, 0, kNone, {}, "-1 -1 -1"},
      {"Sweda: no call, untouched", "SWEDA7000", nullptr, 0, kNone, {}, "-1 -1 -1"},
      {"printerless", "NOTAFISCAL", nullptr, 1, kNone, {}, "-1 -1 -1"},
      {"unknown", "BEMATECH", nullptr, 0, kNone, {}, "-1 -1 -1"},
  };
  run(cases, [](const Row &row, std::string &out) {
    int32_t ack = -1, st1 = -1, st2 = -1;
    uint8_t result = KALPO_VerificaEstadoECF(row.model, &ack, &st1, &st2);
    out = std::to_string(ack) + " " + std::to_string(st1) + " " + std::to_string(st2);
    return result;
  });
}

TEST(PrinterState, ToleratesMissingIntegers) {
  Fake fake;
  status_writes(fake, 1);
  EXPECT_EQ(KALPO_VerificaEstadoECF("BEMATECHMP20", nullptr, nullptr, nullptr), 1);
  expect_transcript(fake.lines, cat("Bematech_FI_VerificaEstadoImpressora(&0, &0, &0)", kBematechStatus));
}

// ---- open coupon ----

TEST(OpenCoupon, AcknowledgedStatusWithTheCouponBit) {
  const Lines asked = {"Bematech_FI_RetornoImpressora(&0, &0, &0)"};
  std::vector<Row> rows = {
      {"ST1 2", "BEMATECHMP20", bematech_status(6, 2, 0), 1, asked},
      {"ST1 130", "BEMATECHMP20", bematech_status(6, 130, 0), 1, asked},
      {"ST1 3 on MFD", "BEMATECHMFD", bematech_status(6, 3, 1), 1, asked},
      {"ST1 128", "BEMATECHMP20", bematech_status(6, 128, 0), 0, asked},
      {"ST1 64", "BEMATECHMP20", bematech_status(6, 64, 0), 0, asked},
      {"NAK, no message", "BEMATECHMFD", bematech_status(21, 2, 0), 0, asked},
      {"failed status call, no message", "BEMATECHMP20", returns("Bematech_FI_RetornoImpressora", 0), 0, asked},
      {"Epson cannot be asked", "EPSON", nullptr, 1, kNone},
      {"Sweda cannot be asked", "SWEDA7000", nullptr, 1, kNone},
      {"Daruma cannot be asked", "DARUMA32", nullptr, 1, kNone},
      {"unknown identifier", "", nullptr, 1, kNone},
      {"no printer", "NOTAFISCAL", nullptr, 0, kNone},
      {"no printer", "ECFZANTRELLO", nullptr, 0, kNone},
  };
  run(rows, [](const Row &r) { return KALPO_Cupom_Aberto(r.model); });
}

// ---- cash drawer ----

TEST(CashDrawer, OpensOnEveryModel) {
  const std::string sigtron_port = R"(DAR_AbreSerial("COM1:9600,n,8,1"))";
  std::vector<Row> rows = {
      {"Sigtron answered", "SIGTRONFS345", sigtron_answers({"ok"}), 1,
       cat(sigtron_port, "DAR_AbreGaveta()", kSigtronAnswer)},
      {"Sigtron without answer", "SIGTRONFS345", nullptr, 0, cat(sigtron_port, "DAR_AbreGaveta()", kSigtronAnswer)},
      {"Sigtron out of paper", "SIGTRONFS345", sigtron_answers({"xE50"}), 0,
       cat(sigtron_port, "DAR_AbreGaveta()", kSigtronAnswer, "BlockInput(FALSE)",
           "notice: Erro na ECF nº :50\\r\\nSem papel[ xE50 ]")},
      {"Daruma", "DARUMA32", daruma_errors({"000"}), 1, cat("Daruma_FI_AcionaGaveta()", kDarumaStatusAnyBuffer)},
      {"Daruma refused", "DARUMA32", daruma_errors({"050"}), 0,
       cat("Daruma_FI_AcionaGaveta()", daruma_refused("Erro na ECF nº :50\\r\\nSem papel"))},
      {"Elgin done", "ELGINFIT", all({cut_on(), driver(1, 0)}), 1, cat(usb_opening(), command(0, "AbreGaveta"))},
      {"Elgin not run shows the bare code", "ELGINFIT", driver(0, 0), 0,
       cat(usb_opening(), command(0, "AbreGaveta"), "notice: 0")},
      {"Quick error code text", "DATAREGISQUICK", driver(1, 7003), 0,
       cat(usb_opening(), command(0, "AbreGaveta"), "notice: Impressora está sem papel para imprimir.")},
      {"Quick driver fails", "DATAREGISQUICK", driver(1, 0, -4), 0, cat(usb_opening(), "notice: Erro -4")},
      {"serial done", "DATAREGISSERIAL", driver(1, 0, 5), 1, cat(serial_opening(5), command(5, "AbreGaveta"))},
      {"serial not run", "DATAREGISSERIAL", driver(0, 11007, 5), 0,
       cat(serial_opening(5), command(5, "AbreGaveta"), "notice: 11007")},
      {"MFD", "BEMATECHMFD", returns("Bematech_FI_AcionaGaveta", 1), 1,
       cat("Bematech_FI_AcionaGaveta()", kBematechStatus)},
      {"MP20 drawer call fails", "BEMATECHMP20", nullptr, 0, cat("Bematech_FI_AcionaGaveta()", kCommunicationError)},
      {"Epson: nothing", "EPSON", nullptr, 1, kNone},
      {"Sweda: nothing", "SWEDA7000", nullptr, 1, kNone},
      {"Digiarte: nothing", "DIGIARTE1E", nullptr, 1, kNone},
      {"printerless: nothing", "ECFZANTRELLO", nullptr, 1, kNone},
      {"unknown: nothing", "gaveta", nullptr, 1, kNone},
  };
  run(rows, [](const Row &r) { return KALPO_AbreGaveta(r.model); });
}

}  // namespace
