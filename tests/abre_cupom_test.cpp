#include <gtest/gtest.h>

#include "kalpo.h"
#include "support/fake.h"
#include "support/transcripts.h"

namespace kalpo::test {
namespace {

const Lines kCustomer = {"Ana", "Rua 1", "123"};  // name, address, document

Lines opens(int h, const std::string &address = "\"Rua 1\"", const std::string &document = "\"123\"",
            const std::string &name = "\"Ana\"") {
  auto text = [h](const char *key, const std::string &value) {
    return "DLLG2_AdicionaParam(" + std::to_string(h) + ", \"" + key + "\", " + value + ", 7)";
  };
  return command(h, "AbreCupomFiscal",
                 {text("EnderecoConsumidor", address), text("IdConsumidor", document), text("NomeConsumidor", name)});
}
Lines reads_coo(int h) { return command(h, "LeInteiro", {param(h, "NomeInteiro", "Coo", 7)}); }
std::string coo_back(int h) {
  return "DLLG2_Retorno(" + std::to_string(h) + ", 0, \"ValorInteiro\", 4000, \"" + std::string(50, ' ') + "\", 50)";
}
Script coo_42(Script driver_script) { return all({driver_script, writes("DLLG2_Retorno", 4, "42", 1)}); }
Script bematech_number(const std::string &open, const std::string &number_call, const char *number) {
  return [=](Fake &f) {
    f.returns(open, 1);
    f.writes(number_call, 0, number, 1);
  };
}

TEST(AbreCupom, TranscriptPerModelAndPath) {
  const std::string bema_number = buffer_call("Bematech_FI_NumeroCupom", 6);
  const std::string daruma_number = buffer_call("Daruma_FI_NumeroCupom", 6);
  const std::vector<Row> rows = {
      {"without printer", "ECFZANTRELLO", nothing, 1, {}, kCustomer, kUntouched},
      {"lower-case identifier", "bematechmp20", nothing, 0, {}, kCustomer, kUntouched},
      {"bematech opens and reads the number",
       "BEMATECHMP20",
       bematech_number("Bematech_FI_AbreCupom", "Bematech_FI_NumeroCupom", "000123"),
       1,
       {"Bematech_FI_AbreCupom(\"123\")", kBematechStatus, bema_number},
       kCustomer,
       "000123"},
      {"bematech paper handling first, empty document as null",
       "BEMATECHMFD",
       all({cut_on(), bematech_number("Bematech_FI_AbreCupom", "Bematech_FI_NumeroCupom", "000124")}),
       1,
       {"Bematech_FI_LinhasEntreCupons(15)", "Bematech_FI_AtivaDesativaCorteProximoMFD()",
        "Bematech_FI_AbreCupom(null)", kBematechStatus, bema_number},
       {"", "", ""},
       "000124"},
      {"bematech refused: no number", "BEMATECHMP20", nothing, 0,
       cat("Bematech_FI_AbreCupom(\"123\")", kCommunicationError), kCustomer, kUntouched},
      {"sweda: document, name, address, empty as a blank",
       "SWEDA7000",
       bematech_number("ECF_AbreCupomMFD", "ECF_NumeroCupom", "000050"),
       1,
       {"ECF_AbreCupomMFD(\"123\", \"Ana\", \" \")", kSwedaStatus, buffer_call("ECF_NumeroCupom", 6)},
       {"Ana", "", "123"},
       "000050"},
      {"sweda refused: no number", "SWEDA7000", nothing, 0,
       cat("ECF_AbreCupomMFD(\"123\", \"Ana\", \"Rua 1\")", kCommunicationError), kCustomer, kUntouched},
      {"sigtron number at characters 3 to 8",
       "SIGTRONFS345",
       sigtron_answers({"0 004321 OK"}),
       1,
       {kSigtronPort, "DAR_AbreCupomFiscal(49)", kSigtronAnswer},
       kCustomer,
       "004321"},
      {"sigtron short answer",
       "SIGTRONFS345",
       sigtron_answers({"AB12"}),
       1,
       {kSigtronPort, "DAR_AbreCupomFiscal(49)", kSigtronAnswer},
       kCustomer,
       "12"},
      {"sigtron not executed",
       "SIGTRONFS345",
       sigtron_answers({""}),
       0,
       {kSigtronPort, "DAR_AbreCupomFiscal(49)", kSigtronAnswer, kNotExecuted},
       kCustomer,
       kUntouched},
      {"daruma opens and reads the number", "DARUMA32",
       all({daruma_errors({"000"}), writes("Daruma_FI_NumeroCupom", 0, "000777", 1)}), 1,
       cat("Daruma_FI_AbreCupom(\"123\")", kDarumaStatus, daruma_number, kDarumaStatus), kCustomer, "000777"},
      {"daruma refused, empty document as null",
       "DARUMA32",
       daruma_errors({"050"}),
       0,
       cat("Daruma_FI_AbreCupom(null)", kDarumaStatus, kDarumaNoPaper),
       {"Ana", "Rua 1", ""},
       kUntouched},
      {"daruma number refused", "DARUMA32",
       all({daruma_errors({"000", "050"}), writes("Daruma_FI_NumeroCupom", 0, "000778", 1)}), 0,
       cat("Daruma_FI_AbreCupom(\"123\")", kDarumaStatus, daruma_number, kDarumaStatus, kDarumaNoPaper), kCustomer,
       kUntouched},
      {"digiarte number after four characters",
       "DIGIARTE1E",
       ecf32m_answers({"COMANDO OK", "R41:001234"}, false),
       1,
       {"OpenCif()", "AbreCupomFiscal()", kEcf32mFetch, "EcfPar(\"41\")", kEcf32mFetch, "CloseCif()"},
       kCustomer,
       "001234"},
      {"digiarte refused",
       "DIGIARTE1E",
       ecf32m_answers({"ERR-22"}, false),
       0,
       {"OpenCif()", "AbreCupomFiscal()", kEcf32mFetch, kDigiarteNotOpen, "CloseCif()"},
       kCustomer,
       kUntouched},
      {"elgin cuts the paper, then opens and reads the number", "ELGINFIT", all({cut_on(), coo_42(driver(1, 0, 5))}), 1,
       cat(paper_cut(), usb_opening(), opens(0), reads_coo(0), coo_back(0)), kCustomer, "42"},
      {"quick does not cut, empty texts as null",
       "DATAREGISQUICK",
       all({cut_on(), coo_42(driver(1, 0))}),
       1,
       cat(usb_opening(), opens(0, "null", "null", "null"), reads_coo(0), coo_back(0)),
       {"", "", ""},
       "42"},
      {"elgin refused: the code as a number", "ELGINFIT", driver(-2, 5), 0, cat(usb_opening(), opens(0), "notice: 5"),
       kCustomer, kUntouched},
      {"elgin number refused: open all the same", "ELGINFIT", driver({1}, {0, 1}), 1,
       cat(usb_opening(), opens(0), reads_coo(0), "notice: Não foi possível alocar mais memória.",
           "notice: Não Foi possível capturar o número do COO!"),
       kCustomer, kUntouched},
      {"elgin number not run: no second notice", "ELGINFIT", driver({1, 0}, {0}), 1,
       cat(usb_opening(), opens(0), reads_coo(0), "notice: 0"), kCustomer, kUntouched},
      {"serial opens on its handle", "DATAREGISSERIAL", coo_42(driver(1, 0, 3)), 1,
       cat(serial_opening(3), opens(3), reads_coo(3), coo_back(3)), kCustomer, "42"},
      {"epson: document, name, address, empty as empty",
       "EPSON",
       epson_clean,
       1,
       cat(epson_opening(), "EPSON_Fiscal_Abrir_Cupom(\"123\", \"Ana\", \"\", \"\", 1)", kEpsonState, kEpsonClose),
       {"Ana", "", "123"},
       kUntouched},
      {"epson refused", "EPSON", all({epson_clean, returns("EPSON_Fiscal_Abrir_Cupom", 2)}), 0,
       cat(epson_opening(), "EPSON_Fiscal_Abrir_Cupom(\"123\", \"Ana\", \"Rua 1\", \"\", 1)", kEpsonState,
           kEpsonCommunication, kEpsonClose),
       kCustomer, kUntouched},
  };
  run(rows, [](const Row &r, std::string &out) {
    const char *number = kUntouched;
    int result = KALPO_AbreCupom(r.model, &number, r.arg(0).c_str(), r.arg(1).c_str(), r.arg(2).c_str());
    out = number;
    return result;
  });
}

}  // namespace
}  // namespace kalpo::test
