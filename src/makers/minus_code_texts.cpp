// ecf32m: the explanations of the minus codes in a failed command's return
// text.  Each explanation carries the code with its sign.
#include "base/cp1252.h"
#include "makers/code_texts.h"

namespace kalpo::makers {
namespace {

using C = base::MessageCode;

constexpr CodeText kMinusCodes[] = {
    {1, "(-1) O cabeçalho contém caracteres inválidos"_cp, C::invalid_parameter},
    {2, "(-2) Comando inexistente"_cp, C::invalid_command},
    {3, "(-3) Valor não numérico em campo numérico"_cp, C::invalid_parameter},
    {4, "(-4) Valor fora de faixa entre 20h e 7Fh"_cp, C::invalid_parameter},
    {5, "(-5) Campo deve iniciar com @, & ou %"_cp, C::invalid_parameter},
    {6, "(-6) Campo deve iniciar com $, # ou ?"_cp, C::invalid_parameter},
    {7, "(-7) O intervalo é inconsistente - O primeiro valor deve ser menor que o segundo"_cp, C::invalid_parameter},
    {9, "(-9) A String TOTAL não é aceita"_cp, C::invalid_parameter},
    {10, "(-10) Sintaxe do comando está incorreta"_cp, C::invalid_command},
    {11, "(-11) Excedeu o número máximo de linhas permitidas pelo comando"_cp, C::limit_reached},
    {12, "(-12) O terminador enviado não está respeitando o protoc. de com."_cp, C::communication},
    {13, "(-13) O CheckSum está incorreto"_cp, C::communication},
    {15, "(-15) A situação tributária deve iniciar com T, F, I ou N"_cp, C::tax_rate},
    {16, "(-16) Data inálida"_cp, C::clock},
    {17, "(-17) Hora Inválida"_cp, C::clock},
    {18, "(-18) Alíquota não programada ou fora de intervalo"_cp, C::tax_rate},
    {19, "(-19) O campo de sinal está incorreto"_cp, C::invalid_parameter},
    {20, "(-20) Comando só pode ser aceito com intervenção técnica"_cp, C::intervention},
    {21, "(-21) Comando só pode ser aceito em modo NORMAL"_cp, C::intervention},
    {22, "(-22) Necessário abrir cupom fiscal"_cp, C::coupon_closed},
    {23, "(-23) Comando não aceito durante cupom fiscal"_cp, C::coupon_open},
    {24, "(-24) Necessário abrir o cupom fiscal"_cp, C::coupon_closed},
    {25, "(-25) Comando não aceito durante cupom não fiscal"_cp, C::coupon_open},
    {26, "(-26) Relógio já está em horário de verão"_cp, C::clock},
    {27, "(-27) Relógio não está em horário de verão"_cp, C::clock},
    {28, "(-28) Necessário realizar REDUÇÃO Z"_cp, C::reduction_due},
    {29, "(-29) Fechamento do dia (REDUÇÃO Z) já realizado"_cp, C::day_closed},
    {30, "(-30) Necessário programar LEGENDA"_cp, C::printer_setup},
    {31, "(-31) Item inexistente ou já cancelado"_cp, C::item},
    {32, "(-32) O cupom anterior não pode ser cancelado"_cp, C::cancel_refused},
    {33, "(-33) Detectado falta de papel"_cp, C::paper_end},
    {36, "(-36) Necessário programar os dados do estabelecimento"_cp, C::printer_setup},
    {37, "(-37) Necessário realizar intervenção técnica"_cp, C::intervention},
    {38, "(-38) A memória fiscal não permite mais realizar vendas!"_cp, C::fiscal_memory},
    {39, "(-39) Problemas com o NOVRAM - Necessária Intervenção Técnica"_cp, C::printer_error},
    {40, "(-40) Necessário programar a data do relógio do ECF"_cp, C::clock},
    {41, "(-41) Número máximo de itens (450) do ECF atingido"_cp, C::limit_reached},
    {42, "(-42) Já foi realizado o ajuste de hora diário"_cp, C::clock},
    {43, "(-43) Comando inválido ainda em execução"_cp, C::invalid_command},
    {44, "(-44) Em estado de impressão de cheque"_cp, C::auxiliary_device},
    {45, "(-45) Não está em estado de impressão de cheque"_cp, C::auxiliary_device},
    {46, "(-46) Necessário inserir cheque"_cp, C::auxiliary_device},
    {47, "(-47) Necessário inserir nova bobina"_cp, C::paper_end},
    {48, "(-48) Necessário efetuar Leitura X"_cp, C::day_not_open},
    {49, "(-49) Detectado problema no ECF (Papel enrroscado, Supertensão,...)"_cp, C::printer_error},
    {50, "(-50) Cupom já foi totalizado"_cp, C::sequence},
    {51, "(-51) Necessário totalizar cupom antes de fechá-lo"_cp, C::sequence},
    {52, "(-52) Necessário finalizar cupom com comando correto"_cp, C::sequence},
    {53, "(-53) Ocorreu erro na gravação da memória fiscal"_cp, C::fiscal_memory},
    {54, "(-54) Excedeu número máximo de estabelecimentos"_cp, C::limit_reached},
    {55, "(-55) Memória fiscal não inicializada"_cp, C::fiscal_memory},
    {56, "(-56) Ultrapassou valor do pagamento"_cp, C::payment},
    {57, "(-57) Registrador não programado ou troco já realizado"_cp, C::payment},
    {58, "(-58) Falta completar valor de pagamento"_cp, C::payment},
    {59, "(-59) Campo somente de caracteres não numéricos (alfabéticos)"_cp, C::invalid_parameter},
    {60, "(-60) Excedeu campo máximo de caracteres"_cp, C::invalid_parameter},
    {61, "(-61) Troco não realizado"_cp, C::payment},
    {62, "(-62) Comando desabilitado"_cp, C::invalid_command},
};
static_assert(std::size(kMinusCodes) == 58);

}  // namespace

namespace tables {
std::span<const CodeText> minus_codes() { return kMinusCodes; }
}  // namespace tables

}  // namespace kalpo::makers
