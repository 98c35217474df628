// Registers one sold item on the open coupon: product code, description, tax
// code, quantity and unit price, unit "UN", no item discount.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/ascii.h"
#include "base/cp1252.h"
#include "coupon/coupon.h"
#include "frame/amounts.h"
#include "frame/messages.h"
#include "frame/own_texts.h"
#include "makers/analysis.h"
#include "makers/dllg2_commands.h"
#include "makers/sessions.h"
#include "seam/seam.h"

namespace kalpo::coupon {
namespace {

struct Item {
  const std::string &codigo;
  const std::string &descricao;
  const std::string &aliquota;
  double quantidade;
  int32_t casas_decimais;
  double valor_unitario;
};

bool bematech(Model model, const Item &item) {
  std::string descricao = item.descricao.substr(0, 29);
  std::string preco = amounts::thousandths_plain(item.valor_unitario);
  std::string quantidade = amounts::thousandths_plain(item.quantidade);
  int32_t ret = seam::api().Bematech_FI_VendeItemDepartamento(null_if_empty(item.codigo), null_if_empty(descricao),
                                                              null_if_empty(item.aliquota), preco.c_str(),
                                                              quantidade.c_str(), "0000", "0000", "1", "UN");
  return makers::analisa_iretorno(model, ret);
}

bool sweda(const Item &item, const std::string &tipo_quantidade, const std::string &tipo_desconto) {
  std::string descricao = item.descricao.substr(0, 29);
  std::string quantidade = amounts::thousandths_plain(item.quantidade);
  std::string preco = amounts::thousandths_plain(item.valor_unitario);
  std::string desconto = tipo_desconto == "P" ? "%" : "";
  int32_t ret = seam::api().ECF_VendeItem(null_if_empty(item.codigo), null_if_empty(descricao),
                                          null_if_empty(item.aliquota), null_if_empty(tipo_quantidade),
                                          quantidade.c_str(), 3, preco.c_str(), null_if_empty(desconto), "0000");
  return makers::analisa_iretorno(Model::Sweda7000, ret);
}

bool sigtron(const Item &item) {
  makers::sigtron_open_configured_port();
  std::string preco = amounts::thousandths_padded(item.valor_unitario, 10);
  std::string quantidade = amounts::thousandths_padded(item.quantidade, 8);
  int32_t ret =
      seam::api().DAR_DescPreUn3dF53(null_if_empty(item.aliquota), null_if_empty(item.codigo), 48, "0000",
                                     preco.c_str(), quantidade.c_str(), "UN", null_if_empty(item.descricao), 49);
  return makers::sigtron_judge_executed(ret).executed();
}

bool daruma(const Item &item) {
  std::string quantidade = amounts::regional(item.quantidade, 3);
  std::string preco = amounts::regional(item.valor_unitario, item.casas_decimais);
  return makers::daruma_judge(seam::api().Daruma_FI_VendeItem(null_if_empty(item.codigo), null_if_empty(item.descricao),
                                                              null_if_empty(item.aliquota), "F", quantidade.c_str(),
                                                              item.casas_decimais, preco.c_str(), "$", "0,00"));
}

// The product code as the printer takes it: digits only, whose value fits in
// 13 digits (an EAN-13 code included), zero-padded to 13.
constexpr int64_t kLargestProductCode = 9'999'999'999'999;

std::optional<std::string> product_code(std::string_view codigo) {
  std::optional<int64_t> number = base::ascii::parse_integer<int64_t>(codigo, base::ascii::Sign::Refused);
  if (!number || *number > kLargestProductCode) return std::nullopt;
  return amounts::padded(*number, 13);
}

bool digiarte(const Item &item) {
  std::string descricao = (item.descricao + std::string(20, ' ')).substr(0, 20);
  return makers::digiarte_session([&] {
    std::optional<std::string> codigo = product_code(item.codigo);
    if (!codigo) {
      msg::notice(std::string(own::kProductCode.text) + item.codigo + "\"");
      return false;
    }
    std::string quantidade = amounts::thousandths_padded(item.quantidade, 6);
    std::string preco = amounts::thousandths_padded(item.valor_unitario, 11);
    seam::api().VendaItem(68, quantidade.c_str(), preco.c_str(), item.aliquota.c_str(), 37, "0000", "UN",
                          codigo->c_str(), 48, descricao.c_str(), "");
    return makers::digiarte_judge_answer();
  });
}

bool command_driver(int32_t handle, const Item &item) {
  int32_t answer =
      makers::dllg2::execute(handle, "VendeItem",
                             {{"CodAliquota", item.aliquota, makers::dllg2::kCode, makers::dllg2::kNullWhenEmpty},
                              {"CodProduto", item.codigo, makers::dllg2::kText, makers::dllg2::kNullWhenEmpty},
                              {"NomeProduto", item.descricao, makers::dllg2::kText, makers::dllg2::kNullWhenEmpty},
                              {"PrecoUnitario", amounts::general(item.valor_unitario), makers::dllg2::kDecimal},
                              {"Quantidade", amounts::general(item.quantidade), makers::dllg2::kDecimal},
                              {"Unidade", "UN", makers::dllg2::kText}});
  return makers::dllg2::judge_showing_code_number(handle, answer);
}

bool epson(const Item &item) {
  std::string quantidade = amounts::thousandths_padded(item.quantidade, 6);
  std::string preco = amounts::thousandths_padded(item.valor_unitario, 6);
  return makers::epson_session("EPSON_Fiscal_Vender_Item", [&] {
    return seam::api().EPSON_Fiscal_Vender_Item(item.codigo.c_str(), item.descricao.c_str(), quantidade.c_str(),
                                                item.casas_decimais, "UN", preco.c_str(), item.casas_decimais,
                                                item.aliquota.c_str(), 1);
  });
}

}  // namespace

bool venda_item(Model model, const std::string &codigo, const std::string &descricao, const std::string &aliquota,
                const std::string &tipo_quantidade, double quantidade, int32_t casas_decimais, double valor_unitario,
                const std::string &tipo_desconto) {
  const Item item{codigo, descricao, aliquota, quantidade, casas_decimais, valor_unitario};
  switch (model) {
    case Model::BematechMP20:
    case Model::BematechMFD: return bematech(model, item);
    case Model::Sweda7000: return sweda(item, tipo_quantidade, tipo_desconto);
    case Model::SigtronFS345: return sigtron(item);
    case Model::Daruma32: return daruma(item);
    case Model::Digiarte1E: return digiarte(item);
    case Model::ElginFit:
    case Model::DataregisQuick: return makers::usb_open() && command_driver(0, item);
    case Model::DataregisSerial: return command_driver(makers::serial_open(makers::SerialSetup::Full), item);
    case Model::Epson: return epson(item);
    case Model::Unknown:
    case Model::EcfZantrello:
    case Model::NotaFiscal: return usual_preset(model);
  }
  return usual_preset(model);
}

}  // namespace kalpo::coupon
