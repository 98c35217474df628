// The exported entry points.  Each converts the C arguments, runs its
// operation and makes sure that nothing escapes across the C boundary.
#include <exception>
#include <string>

#include "base/cp1252.h"
#include "coupon/coupon.h"
#include "entry/trace.h"
#include "frame/args.h"
#include "frame/messages.h"
#include "frame/model.h"
#include "frame/own_texts.h"
#include "frame/state.h"
#include "kalpo.h"
#include "makers/analysis.h"
#include "platform/platform.h"
#include "queries/queries.h"
#include "reports/reports.h"
#include "seam/seam.h"
#include "vouchers/vouchers.h"

namespace kalpo::entry {

using namespace frame;

namespace {

void report_internal_error(const char *what) noexcept {
  try {
    std::string text(own::kInternalError.text);
    if (what && *what) text += std::string(": ") + what;
    msg::notice(text);
  } catch (...) {
  }
}

template <typename Body>
uint8_t flag_call(Body &&body) noexcept {
  try {
    platform::CallScope call;
    begin_export_call();
    const uint8_t result = body() ? 1 : 0;
    trace::result(result);
    return result;
  } catch (const seam::LibraryMissing &) {
    // As a printer that does not answer; the trace and standard error name
    // the library.
    try {
      msg::notice(own::kNoCommunication.text);
      trace::result(0);
    } catch (...) {
    }
  } catch (const std::exception &e) {
    report_internal_error(e.what());
  } catch (...) {
    report_internal_error(nullptr);
  }
  return 0;
}

template <typename Body>
void void_call(Body &&body) noexcept {
  flag_call([&] {
    body();
    return true;
  });
  trace::no_result();
}

Model model_arg(const char *identifier) { return parse_model(identifier ? identifier : ""); }

constexpr std::string_view kVersion = "KALPO_DLL Versão 3.60"_cp;
constexpr std::string_view kVersionNumber = "3.60"_cp;
constexpr std::string_view kPrinterList =
    "[ BEMATECH ] Modelo MP20\r[ SIGTRON ] Modelo FS-345\r[ DARUMA ] Modelo FS-345\r[ DIGIARTE ] Modelo 1E\r"
    "[ ELGIN ] Modelo FIT/LOGGER\r[ DATAREGIS ] Modelo QUICK USB\r[ DATAREGIS ] Modelo QUICK Serial\r"
    "[ EPSON ] Modelo Serial"_cp;

int32_t constant_text(const char **target, std::string_view text) noexcept {
  begin_export_call();
  if (target) *target = text.data();
  trace::result(0);
  return 0;
}

}  // namespace
}  // namespace kalpo::entry

using namespace kalpo;
using namespace kalpo::entry;

extern "C" {

KALPO_API void KALPO_CALL KALPO_DefineTratadorMensagens(KALPO_TratadorMensagem handler, void *context) {
  KALPO_TRACE_EXPORT(handler, context);
  state().handler = handler;
  state().handler_context = handler ? context : nullptr;
}

// ---- Frame ----

KALPO_API int32_t KALPO_CALL KALPO_Versao(const char **versao) {
  KALPO_TRACE_EXPORT(versao);
  return constant_text(versao, kVersion);
}

KALPO_API int32_t KALPO_CALL KALPO_Versao_Number(const char **versao) {
  KALPO_TRACE_EXPORT(versao);
  return constant_text(versao, kVersionNumber);
}

KALPO_API int32_t KALPO_CALL KALPO_RetListaECFS(const char **lista) {
  KALPO_TRACE_EXPORT(lista);
  return constant_text(lista, kPrinterList);
}

KALPO_API uint8_t KALPO_CALL KALPO_IniciaDriver(void) {
  KALPO_TRACE_EXPORT();
  return flag_call([] { return true; });
}

KALPO_API uint8_t KALPO_CALL KALPO_FechaDriver(const char *modelo) {
  KALPO_TRACE_EXPORT(modelo);
  flag_call([&] {
    if (model_arg(modelo) == Model::Sweda7000) seam::api().ECF_FechaPortaSerial();
    return true;
  });
  return 1;
}

KALPO_API uint8_t KALPO_CALL KALPO_GravaRegistro(const char *porta) {
  KALPO_TRACE_EXPORT(porta);
  flag_call([&] {
    std::string port = text_arg(porta);
    seam::api().Daruma_Registry_Porta(port.c_str());
    return true;
  });
  return 1;
}

// ---- Return analysis ----

KALPO_API uint8_t KALPO_CALL KALPO_retorna_impressora(const char *modelo) {
  KALPO_TRACE_EXPORT(modelo);
  return flag_call([&] { return makers::retorna_impressora(model_arg(modelo)); });
}

KALPO_API uint8_t KALPO_CALL KALPO_Analisa_iRetorno(const char *modelo, int32_t codigo) {
  KALPO_TRACE_EXPORT(modelo, codigo);
  return flag_call([&] { return makers::analisa_iretorno(model_arg(modelo), codigo); });
}

KALPO_API uint8_t KALPO_CALL KALPO_Analisa_RetSigtronFS345(int32_t codigo, char *resposta, int32_t tamanho,
                                                           int32_t *contagem) {
  KALPO_TRACE_EXPORT(codigo, resposta, tamanho, contagem);
  return flag_call([&] {
    char own[101] = {};
    int32_t own_count = 0;
    return makers::analisa_ret_sigtron_fs345(codigo, resposta ? resposta : own, tamanho,
                                             contagem ? contagem : &own_count);
  });
}

// ---- Fiscal coupon ----

KALPO_API uint8_t KALPO_CALL KALPO_AbreCupom(const char *modelo, const char **numero_cupom, const char *nome,
                                             const char *endereco, const char *documento) {
  KALPO_TRACE_EXPORT(modelo, numero_cupom, nome, endereco, documento);
  return flag_call([&] {
    return coupon::abre_cupom(model_arg(modelo), OutText(numero_cupom), text_arg(nome), text_arg(endereco),
                              text_arg(documento));
  });
}

KALPO_API uint8_t KALPO_CALL KALPO_VendaItem(const char *modelo, const char *codigo, const char *descricao,
                                             const char *aliquota, const char *tipo_quantidade, double quantidade,
                                             int32_t casas_decimais, double valor_unitario, const char *tipo_desconto,
                                             double nao_lido) {
  KALPO_TRACE_EXPORT(modelo, codigo, descricao, aliquota, tipo_quantidade, quantidade, casas_decimais, valor_unitario,
                     tipo_desconto, nao_lido);
  return flag_call([&] {
    return coupon::venda_item(model_arg(modelo), text_arg(codigo), text_arg(descricao), text_arg(aliquota),
                              text_arg(tipo_quantidade), quantidade, casas_decimais, valor_unitario,
                              text_arg(tipo_desconto));
  });
}

KALPO_API uint8_t KALPO_CALL KALPO_Inicia_Fechamento(const char *modelo, double desconto) {
  KALPO_TRACE_EXPORT(modelo, desconto);
  return flag_call([&] { return coupon::inicia_fechamento(model_arg(modelo), desconto); });
}

KALPO_API uint8_t KALPO_CALL KALPO_desc_fechamento(const char *modelo, double desconto) {
  KALPO_TRACE_EXPORT(modelo, desconto);
  return flag_call([&] { return coupon::desc_fechamento(model_arg(modelo), desconto); });
}

KALPO_API uint8_t KALPO_CALL KALPO_forma_pagamento(const char *modelo, const char *forma, double valor) {
  KALPO_TRACE_EXPORT(modelo, forma, valor);
  return flag_call([&] { return coupon::forma_pagamento(model_arg(modelo), text_arg(forma), valor); });
}

KALPO_API uint8_t KALPO_CALL KALPO_fecha_cupom(const char *modelo, KALPO_TextControl *mensagem) {
  KALPO_TRACE_EXPORT(modelo, mensagem);
  return flag_call([&] { return coupon::fecha_cupom(model_arg(modelo), TextControl(mensagem)); });
}

KALPO_API uint8_t KALPO_CALL KALPO_Cancela_Item(const char *modelo, int32_t item) {
  KALPO_TRACE_EXPORT(modelo, item);
  return flag_call([&] { return coupon::cancela_item(model_arg(modelo), item); });
}

KALPO_API uint8_t KALPO_CALL KALPO_Cancela_Ultimo_Cupom(const char *modelo, const void *nao_lido1,
                                                        const void *nao_lido2, int32_t *contagem,
                                                        const char **numero_cupom, const char **estado_documento) {
  KALPO_TRACE_EXPORT(modelo, nao_lido1, nao_lido2, contagem, numero_cupom, estado_documento);
  return flag_call([&] {
    return coupon::cancela_ultimo_cupom(model_arg(modelo), VarInt(contagem), OutText(numero_cupom),
                                        OutText(estado_documento));
  });
}

// ---- Linked vouchers and management reports ----

KALPO_API uint8_t KALPO_CALL KALPO_cupom_vinculado(const char *modelo, const char *forma, const char *numero_cupom,
                                                   double valor) {
  KALPO_TRACE_EXPORT(modelo, forma, numero_cupom, valor);
  return flag_call(
      [&] { return vouchers::cupom_vinculado(model_arg(modelo), text_arg(forma), text_arg(numero_cupom), valor); });
}

KALPO_API uint8_t KALPO_CALL KALPO_usavinculado(const char *modelo, const char *texto) {
  KALPO_TRACE_EXPORT(modelo, texto);
  return flag_call([&] { return vouchers::usa_vinculado(model_arg(modelo), text_arg(texto)); });
}

KALPO_API uint8_t KALPO_CALL KALPO_usavinculadotermica(const char *modelo, KALPO_TextControl *texto) {
  KALPO_TRACE_EXPORT(modelo, texto);
  return flag_call([&] { return vouchers::usa_vinculado_termica(model_arg(modelo), TextControl(texto)); });
}

KALPO_API uint8_t KALPO_CALL KALPO_FechaCupomNaovinculado(const char *modelo) {
  KALPO_TRACE_EXPORT(modelo);
  return flag_call([&] { return vouchers::fecha_cupom_nao_vinculado(model_arg(modelo)); });
}

KALPO_API uint8_t KALPO_CALL KALPO_AbreRelGerencial(const char *modelo, const char *texto, const char *codigo) {
  KALPO_TRACE_EXPORT(modelo, texto, codigo);
  return flag_call([&] { return vouchers::abre_rel_gerencial(model_arg(modelo), text_arg(texto), text_arg(codigo)); });
}

KALPO_API uint8_t KALPO_CALL KALPO_FechaGerencial(const char *modelo) {
  KALPO_TRACE_EXPORT(modelo);
  return flag_call([&] { return vouchers::fecha_gerencial(model_arg(modelo)); });
}

// ---- Day reports and fiscal memory ----

KALPO_API uint8_t KALPO_CALL KALPO_Leiturax(const char *modelo, const void *nao_lido1, const void *nao_lido2,
                                            int32_t *contagem) {
  KALPO_TRACE_EXPORT(modelo, nao_lido1, nao_lido2, contagem);
  return flag_call([&] { return reports::leitura_x(model_arg(modelo), VarInt(contagem)); });
}

KALPO_API uint8_t KALPO_CALL KALPO_Reducaoz(const char *modelo, const void *nao_lido1, const void *nao_lido2,
                                            const void *nao_lido3, int32_t *contagem) {
  KALPO_TRACE_EXPORT(modelo, nao_lido1, nao_lido2, nao_lido3, contagem);
  return flag_call([&] { return reports::reducao_z(model_arg(modelo), VarInt(contagem)); });
}

KALPO_API uint8_t KALPO_CALL KALPO_Abredia(const char *modelo) {
  KALPO_TRACE_EXPORT(modelo);
  return flag_call([&] { return reports::abre_dia(model_arg(modelo)); });
}

KALPO_API uint8_t KALPO_CALL KALPO_HorarioVerao(const char *modelo, const char *acao) {
  KALPO_TRACE_EXPORT(modelo, acao);
  return flag_call([&] { return reports::horario_verao(model_arg(modelo), text_arg(acao)); });
}

KALPO_API void KALPO_CALL KALPO_LeData(const char *modelo, const char **data) {
  KALPO_TRACE_EXPORT(modelo, data);
  void_call([&] { reports::le_data(model_arg(modelo), OutText(data)); });
}

KALPO_API uint8_t KALPO_CALL KALPO_LeituraMemFiscal(const char *modelo, const char *inicio, const char *fim,
                                                    const char *tipo) {
  KALPO_TRACE_EXPORT(modelo, inicio, fim, tipo);
  return flag_call(
      [&] { return reports::leitura_mem_fiscal(model_arg(modelo), text_arg(inicio), text_arg(fim), text_arg(tipo)); });
}

KALPO_API uint8_t KALPO_CALL KALPO_GeraCotepe(const char *modelo, double dia) {
  KALPO_TRACE_EXPORT(modelo, dia);
  return flag_call([&] { return reports::gera_cotepe(model_arg(modelo), dia); });
}

KALPO_API uint8_t KALPO_CALL KALPO_ImpressaoBobina(const char *modelo) {
  KALPO_TRACE_EXPORT(modelo);
  return flag_call([&] { return reports::impressao_bobina(model_arg(modelo)); });
}

// ---- Queries and device utilities ----

KALPO_API uint8_t KALPO_CALL KALPO_MostraNumSerie(const char *modelo, const char **numero_serie) {
  KALPO_TRACE_EXPORT(modelo, numero_serie);
  return flag_call([&] { return queries::mostra_num_serie(model_arg(modelo), OutText(numero_serie)); });
}

KALPO_API uint8_t KALPO_CALL KALPO_FirmWare(const char *modelo, const char **versao) {
  KALPO_TRACE_EXPORT(modelo, versao);
  return flag_call([&] { return queries::firmware(model_arg(modelo), OutText(versao)); });
}

KALPO_API uint8_t KALPO_CALL KALPO_RetornaGT(const char *modelo, const char **grande_total) {
  KALPO_TRACE_EXPORT(modelo, grande_total);
  return flag_call([&] { return queries::retorna_gt(model_arg(modelo), OutText(grande_total)); });
}

KALPO_API uint8_t KALPO_CALL KALPO_DataHoraEcf(const char *modelo, const char **data, const char **hora) {
  KALPO_TRACE_EXPORT(modelo, data, hora);
  return flag_call([&] { return queries::data_hora_ecf(model_arg(modelo), OutText(data), OutText(hora)); });
}

KALPO_API uint8_t KALPO_CALL KALPO_NumeroCupom(const char *modelo, const char **numero_cupom) {
  KALPO_TRACE_EXPORT(modelo, numero_cupom);
  return flag_call([&] { return queries::numero_cupom(model_arg(modelo), OutText(numero_cupom)); });
}

KALPO_API uint8_t KALPO_CALL KALPO_NumReducao(const char *modelo, const char **contador) {
  KALPO_TRACE_EXPORT(modelo, contador);
  return flag_call([&] { return queries::num_reducao(model_arg(modelo), OutText(contador)); });
}

KALPO_API uint8_t KALPO_CALL KALPO_ResumoAliq(const char *modelo) {
  KALPO_TRACE_EXPORT(modelo);
  return flag_call([&] { return queries::resumo_aliq(model_arg(modelo)); });
}

KALPO_API uint8_t KALPO_CALL KALPO_TotalizadorParcial(const char *modelo, const char **totais) {
  KALPO_TRACE_EXPORT(modelo, totais);
  return flag_call([&] { return queries::totalizador_parcial(model_arg(modelo), OutText(totais)); });
}

KALPO_API uint8_t KALPO_CALL KALPO_VerificaEstadoECF(const char *modelo, int32_t *ack, int32_t *st1, int32_t *st2) {
  KALPO_TRACE_EXPORT(modelo, ack, st1, st2);
  return flag_call(
      [&] { return queries::verifica_estado_ecf(model_arg(modelo), VarInt(ack), VarInt(st1), VarInt(st2)); });
}

KALPO_API uint8_t KALPO_CALL KALPO_Cupom_Aberto(const char *modelo) {
  KALPO_TRACE_EXPORT(modelo);
  return flag_call([&] { return queries::cupom_aberto(model_arg(modelo)); });
}

KALPO_API uint8_t KALPO_CALL KALPO_AbreGaveta(const char *modelo) {
  KALPO_TRACE_EXPORT(modelo);
  return flag_call([&] { return queries::abre_gaveta(model_arg(modelo)); });
}

}  // extern "C"
