#include "models.h"

#include <utility>

#include "exports.h"

namespace kt {

const std::vector<Model> &models() {
  //                               library           open  c.item voucher report cmd   ident counters rate
  static const std::vector<Model> table = {
      {"BEMATECHMP20", "bemafi32", true, true, true, true, false, true, true, "01"},
      {"BEMATECHMFD", "bemafi32", true, true, true, true, false, true, true, "01"},
      {"SWEDA7000", "convecf", false, true, true, false, false, true, false, "01"},
      {"SIGTRONFS345", "fs345_32", false, true, true, true, false, true, false, "01"},
      {"DARUMA32", "daruma32", false, false, true, true, false, true, false, "01"},
      {"DIGIARTE1E", "ecf32m", false, false, false, false, false, true, false, "T01"},
      {"ELGINFIT", "dllg2", false, true, true, true, true, true, false, "01"},
      {"DATAREGISQUICK", "dllg2", false, true, true, true, true, true, false, "01"},
      {"DATAREGISSERIAL", "dllg2", false, true, true, true, true, true, false, "01"},
      {"EPSON", "interfaceepson", true, true, false, false, false, false, false, "01"},
  };
  return table;
}

const Model *find_model(const std::string &id) {
  for (const Model &m : models())
    if (m.id == id) return &m;
  return nullptr;
}

const std::vector<std::string> &printer_libraries() {
  static const std::vector<std::string> libraries = {"bemafi32", "convecf", "fs345_32",      "daruma32",
                                                     "ecf32m",   "dllg2",   "interfaceepson"};
  return libraries;
}

std::string library_for(const std::string &given) {
  if (const Model *m = find_model(given)) return m->library;
  for (const std::string &library : printer_libraries())
    if (library == given) return library;
  throw UsageError("--model: '" + given +
                   "' is neither a printer model (BEMATECHMP20, ... EPSON) nor a maker "
                   "library (bemafi32, convecf, fs345_32, daruma32, ecf32m, dllg2, interfaceepson)");
}

namespace {

std::string line(const std::string &call, const Model &m, const std::string &rest, const char *expect = "1") {
  return call + " \"" + m.id + "\"" + (rest.empty() ? "" : " " + rest) + (expect ? std::string(" => ") + expect : "") +
         "\n";
}

std::string sale_items(const Model &m) {
  std::string s;
  s += line("VendaItem", m, R"("1001" "ARROZ TIPO 1 5KG" ")" + m.rate + R"(" "F" 1 )" + m.decimals + R"( 24.90 "$" -)");
  s +=
      line("VendaItem", m, R"("1002" "FEIJAO CARIOCA 1KG" ")" + m.rate + R"(" "F" 2 )" + m.decimals + R"( 8.50 "$" -)");
  s += line("VendaItem", m, R"("1003" "CAFE TORRADO 500G" "FF" "F" 1 )" + m.decimals + R"( 15.00 "$" -)");
  return s;
}

std::string closing(const Model &m, const char *discount) {
  if (m.command_driver) return line("Inicia_Fechamento", m, "0") + line("desc_fechamento", m, discount);
  return line("Inicia_Fechamento", m, discount);
}

}  // namespace

std::vector<std::string> day_script(const Model &m) {
  std::string s = "# " + m.id + ": a whole fiscal day\n";
  if (m.opening) s += line("Abredia", m, "");
  s += "# a sale: an item cancelled, a discount, two payment forms and change\n";
  s += line("AbreCupom", m, R"(- "MARIA DA SILVA" "RUA DAS FLORES, 12" "12345678909")");
  s += sale_items(m);
  if (m.cancel_item) s += line("Cancela_Item", m, "2");
  s += closing(m, "1.90");
  s += line("forma_pagamento", m, R"("Cartao" 18.00)");
  s += line("forma_pagamento", m, R"("Dinheiro" 50.00)");
  s += line("fecha_cupom", m, R"("Obrigado pela preferência!")");
  const std::string sale = std::exchange(s, {});
  if (m.voucher) {
    s += "# the linked voucher of the card payment\n";
    s += line("cupom_vinculado", m, R"("Cartao" ")" + std::string(kCouponNumber) + R"(" 18.00)");
    s += line("usavinculado", m, R"("CARTAO DE CREDITO - APROVADO\r\nAUT. 123456")");
    s += line("FechaCupomNaovinculado", m, "");
  }
  s += "# a coupon cancelled right after it was closed\n";
  s += line("AbreCupom", m, R"(- "" "" "")");
  s += line("VendaItem", m, R"("1004" "LEITE INTEGRAL 1L" ")" + m.rate + R"(" "F" 3 )" + m.decimals + R"( 4.99 "$" -)");
  s += closing(m, "0");
  s += line("forma_pagamento", m, R"("Dinheiro" 14.97)");
  s += line("fecha_cupom", m, R"("")");
  s += line("Cancela_Ultimo_Cupom", m, "- - - - -");
  if (m.report) {
    s += "# a management report\n";
    s += line("AbreRelGerencial", m, R"("SANGRIA DO CAIXA: R$ 100,00" "1")");
    s += line("FechaGerencial", m, "");
  }
  s += "# the X reading and the queries\n";
  s += line("Leiturax", m, "- - -");
  if (m.identity) s += line("MostraNumSerie", m, "-") + line("FirmWare", m, "-");
  if (m.counters) {
    s += line("NumeroCupom", m, "-") + line("RetornaGT", m, "-") + line("DataHoraEcf", m, "- -");
    s += line("NumReducao", m, "-") + line("TotalizadorParcial", m, "-") + line("ResumoAliq", m, "");
    s += line("VerificaEstadoECF", m, "- - -") + line("Cupom_Aberto", m, "", "0");
  }
  if (m.command_driver) s += line("LeData", m, "-", nullptr);
  s += "# the Z reduction closes the day\n";
  s += line("Reducaoz", m, "- - - -");
  return {sale, s};
}

}  // namespace kt
