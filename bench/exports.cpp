#include "exports.h"

#include <cstdint>

#include "kalpo.h"

namespace kalpo::bench {
namespace {

const char *out_text = nullptr;
const char *out_text2 = nullptr;
int32_t var = 0, var2 = 0, var3 = 0;

const char *KALPO_CALL get_text(void *) { return "Volte sempre!\r\nObrigado"; }
void KALPO_CALL set_text(void *, const char *) {}
KALPO_TextControl control{nullptr, &get_text, &set_text};

const ExportCall kExports[] = {
    {"Versao", false, [](const char *) { KALPO_Versao(&out_text); }},
    {"Versao_Number", false, [](const char *) { KALPO_Versao_Number(&out_text); }},
    {"RetListaECFS", false, [](const char *) { KALPO_RetListaECFS(&out_text); }},
    {"IniciaDriver", false, [](const char *) { KALPO_IniciaDriver(); }},
    {"GravaRegistro", false, [](const char *) { KALPO_GravaRegistro("COM1"); }},
    {"Analisa_RetSigtronFS345", false,
     [](const char *) {
       char answer[101] = {};
       KALPO_Analisa_RetSigtronFS345(1, answer, 99, &var);
     }},
    {"FechaDriver", true, [](const char *m) { KALPO_FechaDriver(m); }},
    {"retorna_impressora", true, [](const char *m) { KALPO_retorna_impressora(m); }},
    {"Analisa_iRetorno", true, [](const char *m) { KALPO_Analisa_iRetorno(m, 1); }},
    {"AbreCupom", true, [](const char *m) { KALPO_AbreCupom(m, &out_text, "Cliente", "Rua A, 1", "12345678909"); }},
    {"VendaItem", true,
     [](const char *m) { KALPO_VendaItem(m, "7891000100103", "CAFE TORRADO", "01", "I", 1.5, 2, 12.99, "", 0.0); }},
    {"Inicia_Fechamento", true, [](const char *m) { KALPO_Inicia_Fechamento(m, 1.25); }},
    {"desc_fechamento", true, [](const char *m) { KALPO_desc_fechamento(m, 1.25); }},
    {"forma_pagamento", true, [](const char *m) { KALPO_forma_pagamento(m, "Dinheiro", 50.0); }},
    {"fecha_cupom", true, [](const char *m) { KALPO_fecha_cupom(m, &control); }},
    {"Cancela_Item", true, [](const char *m) { KALPO_Cancela_Item(m, 1); }},
    {"Cancela_Ultimo_Cupom", true,
     [](const char *m) { KALPO_Cancela_Ultimo_Cupom(m, nullptr, nullptr, &var, &out_text, &out_text2); }},
    {"cupom_vinculado", true, [](const char *m) { KALPO_cupom_vinculado(m, "Cartao", "123", 19.9); }},
    {"usavinculado", true, [](const char *m) { KALPO_usavinculado(m, "Comprovante de pagamento"); }},
    {"usavinculadotermica", true, [](const char *m) { KALPO_usavinculadotermica(m, &control); }},
    {"FechaCupomNaovinculado", true, [](const char *m) { KALPO_FechaCupomNaovinculado(m); }},
    {"AbreRelGerencial", true, [](const char *m) { KALPO_AbreRelGerencial(m, "Relatorio", "01"); }},
    {"FechaGerencial", true, [](const char *m) { KALPO_FechaGerencial(m); }},
    {"Leiturax", true, [](const char *m) { KALPO_Leiturax(m, nullptr, nullptr, &var); }},
    {"Reducaoz", true, [](const char *m) { KALPO_Reducaoz(m, nullptr, nullptr, nullptr, &var); }},
    {"Abredia", true, [](const char *m) { KALPO_Abredia(m); }},
    {"HorarioVerao", true, [](const char *m) { KALPO_HorarioVerao(m, "ENTRAR"); }},
    {"LeData", true, [](const char *m) { KALPO_LeData(m, &out_text); }},
    {"LeituraMemFiscal", true, [](const char *m) { KALPO_LeituraMemFiscal(m, "01/12/2026", "07/12/2026", "D"); }},
    {"GeraCotepe", true, [](const char *m) { KALPO_GeraCotepe(m, 46363.5); }},
    {"ImpressaoBobina", true, [](const char *m) { KALPO_ImpressaoBobina(m); }},
    {"MostraNumSerie", true, [](const char *m) { KALPO_MostraNumSerie(m, &out_text); }},
    {"FirmWare", true, [](const char *m) { KALPO_FirmWare(m, &out_text); }},
    {"RetornaGT", true, [](const char *m) { KALPO_RetornaGT(m, &out_text); }},
    {"DataHoraEcf", true, [](const char *m) { KALPO_DataHoraEcf(m, &out_text, &out_text2); }},
    {"NumeroCupom", true, [](const char *m) { KALPO_NumeroCupom(m, &out_text); }},
    {"NumReducao", true, [](const char *m) { KALPO_NumReducao(m, &out_text); }},
    {"ResumoAliq", true, [](const char *m) { KALPO_ResumoAliq(m); }},
    {"TotalizadorParcial", true, [](const char *m) { KALPO_TotalizadorParcial(m, &out_text); }},
    {"VerificaEstadoECF", true, [](const char *m) { KALPO_VerificaEstadoECF(m, &var, &var2, &var3); }},
    {"Cupom_Aberto", true, [](const char *m) { KALPO_Cupom_Aberto(m); }},
    {"AbreGaveta", true, [](const char *m) { KALPO_AbreGaveta(m); }},
};

const char *const kModels[] = {"BEMATECHMP20",    "BEMATECHMFD", "SWEDA7000",   "SIGTRONFS345",
                               "DARUMA32",        "DIGIARTE1E",  "ELGINFIT",    "DATAREGISQUICK",
                               "DATAREGISSERIAL", "EPSON",       "ECFZANTRELLO"};

}  // namespace

std::span<const ExportCall> exports() { return kExports; }
std::span<const char *const> models() { return kModels; }

}  // namespace kalpo::bench
