#include <gtest/gtest.h>

#include "kalpo.h"
#include "support/fake.h"
#include "support/transcripts.h"

namespace kalpo::test {
namespace {

// The row's item: code, description, quantity, decimals, unit price,
// discount type; each defaults to the first sale's.
const Lines kItem = {"789", "Arroz tipo 1", "1.5", "2", "2.99", "P"};
const std::string k40 = "1234567890123456789012345678901234567890";
const std::string k29 = k40.substr(0, 29);

Lines sells(int h, const std::string &price, const std::string &quantity) {
  return command(
      h, "VendeItem",
      {param(h, "CodAliquota", "T01", 4), param(h, "CodProduto", "789", 7), param(h, "NomeProduto", "Arroz tipo 1", 7),
       param(h, "PrecoUnitario", price, 6), param(h, "Quantidade", quantity, 6), param(h, "Unidade", "UN", 7)});
}
std::string bematech(const std::string &description) {
  return "Bematech_FI_VendeItemDepartamento(\"789\", \"" + description +
         "\", \"T01\", \"2990\", \"1500\", \"0000\", \"0000\", \"1\", \"UN\")";
}
std::string sigtron(const std::string &description) {
  return "DAR_DescPreUn3dF53(\"T01\", \"789\", 48, \"0000\", \"0000002990\", \"00001500\", \"UN\", \"" + description +
         "\", 49)";
}
Lines digiarte(const std::string &code, const std::string &description = "Arroz tipo 1        ") {
  return {"OpenCif()",
          "VendaItem(68, \"001500\", \"00000002990\", \"T01\", 37, \"0000\", \"UN\", \"" + code + "\", 48, \"" +
              description + "\", \"\")",
          kEcf32mFetch, "CloseCif()"};
}
Lines bad_code(const std::string &code) {
  return {
      "OpenCif()",
      "notice: Código de produto inválido para a ECF (deve ser um número inteiro de até 13 dígitos): \"" + code + "\"",
      "CloseCif()"};
}
const std::string kEpsonSale =
    "EPSON_Fiscal_Vender_Item(\"789\", \"Arroz tipo 1\", \"001500\", 2, \"UN\", \"002990\", 2, \"T01\", 1)";
const Script kOk = ecf32m_answers({"COMANDO OK"}, false);

TEST(VendaItem, TranscriptPerModelAndPath) {
  const std::vector<Row> rows = {
      {"without printer", "NOTAFISCAL", nothing, 1, {}},
      {"bematech in thousandths",
       "BEMATECHMFD",
       returns("Bematech_FI_VendeItemDepartamento", 1),
       1,
       {bematech("Arroz tipo 1"), kBematechStatus}},
      {"bematech description cut to 29, refused",
       "BEMATECHMP20",
       nothing,
       0,
       cat(bematech(k29), kCommunicationError),
       {"789", k40}},
      {"sweda percent discount, description cut to 29",
       "SWEDA7000",
       returns("ECF_VendeItem", 1),
       1,
       {"ECF_VendeItem(\"789\", \"" + k29 + "\", \"T01\", \"I\", \"1500\", 3, \"2990\", \"%\", \"0000\")",
        kSwedaStatus},
       {"789", k40}},
      {"sweda lower-case type: no discount; halves to even",
       "SWEDA7000",
       returns("ECF_VendeItem", 1),
       1,
       {"ECF_VendeItem(\"789\", \"Arroz tipo 1\", \"T01\", \"I\", \"62\", 3, \"188\", null, \"0000\")", kSwedaStatus},
       {"789", "Arroz tipo 1", "0.0625", "2", "0.1875", "p"}},
      {"sigtron padded, description whole",
       "SIGTRONFS345",
       sigtron_answers({"OK"}),
       1,
       {kSigtronPort, sigtron(k40), kSigtronAnswer},
       {"789", k40}},
      {"sigtron not executed",
       "SIGTRONFS345",
       sigtron_answers({""}),
       0,
       {kSigtronPort, sigtron("Arroz tipo 1"), kSigtronAnswer, kNotExecuted}},
      {"daruma regional, price with its decimals", "DARUMA32", daruma_errors({"000"}), 1,
       cat("Daruma_FI_VendeItem(\"789\", \"Arroz tipo 1\", \"T01\", \"F\", \"1,500\", 2, \"2,99\", \"$\", \"0,00\")",
           kDarumaStatus)},
      {"daruma united states, refused",
       "DARUMA32",
       all({united_states, daruma_errors({"050"})}),
       0,
       cat("Daruma_FI_VendeItem(\"789\", \"Arroz tipo 1\", \"T01\", \"F\", \"1,000.500\", 3, \"1,234.500\", \"$\", "
           "\"0,00\")",
           kDarumaStatus, kDarumaNoPaper),
       {"789", "Arroz tipo 1", "1000.5", "3", "1234.5"}},
      {"digiarte pads code and description", "DIGIARTE1E", kOk, 1, digiarte("0000000000789")},
      {"digiarte cuts the description, refused",
       "DIGIARTE1E",
       ecf32m_answers({"ERR-22"}, false),
       0,
       {"OpenCif()",
        "VendaItem(68, \"001500\", \"00000002990\", \"T01\", 37, \"0000\", \"UN\", \"0000000000789\", 48, "
        "\"12345678901234567890\", \"\")",
        kEcf32mFetch, kDigiarteNotOpen, "CloseCif()"},
       {"789", k40}},
      {"digiarte largest code, leading zeros dropped",
       "DIGIARTE1E",
       kOk,
       1,
       digiarte("9999999999999"),
       {"0009999999999999"}},
      {"digiarte code beyond 13 digits", "DIGIARTE1E", nothing, 0, bad_code("10000000000000"), {"10000000000000"}},
      {"digiarte code beyond 64 bits",
       "DIGIARTE1E",
       nothing,
       0,
       bad_code("99999999999999999999"),
       {"99999999999999999999"}},
      {"digiarte letters in the code", "DIGIARTE1E", nothing, 0, bad_code("78A"), {"78A"}},
      {"digiarte signed code", "DIGIARTE1E", nothing, 0, bad_code("+789"), {"+789"}},
      {"digiarte empty code", "DIGIARTE1E", nothing, 0, bad_code(""), {""}},
      {"elgin sells", "ELGINFIT", driver(1, 0), 1, cat(usb_opening(), sells(0, "2,99", "1,5"))},
      {"quick refused: the code as a number", "DATAREGISQUICK", driver(-2, 5), 0,
       cat(usb_opening(), sells(0, "2,99", "1,5"), "notice: 5")},
      {"serial on its handle, united states", "DATAREGISSERIAL", all({united_states, driver(1, 0, 3)}), 1,
       cat(serial_opening(3), sells(3, "2.99", "1.5"))},
      {"epson thousandths with the decimals", "EPSON", epson_clean, 1,
       cat(epson_opening(), kEpsonSale, kEpsonState, kEpsonClose)},
      {"epson refused", "EPSON", all({epson_clean, returns("EPSON_Fiscal_Vender_Item", 1)}), 0,
       cat(epson_opening(), kEpsonSale, kEpsonState, kEpsonCommunication, kEpsonClose)},
  };
  run(rows, [](const Row &r) {
    auto a = [&](std::size_t i) { return r.arg(i, kItem[i]); };
    return KALPO_VendaItem(r.model, a(0).c_str(), a(1).c_str(), "T01", "I", decimal(a(2)), std::stoi(a(3)),
                           decimal(a(4)), a(5).c_str(), 0);
  });
}

}  // namespace
}  // namespace kalpo::test
