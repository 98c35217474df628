// ecf32m: the explanation of the minus code in a failed command's return
// text.  Each explanation carries the code with its sign.
#include "base/cp1252.h"
#include "frame/messages.h"
#include "makers/analysis.h"
#include "makers/code_texts.h"

namespace kalpo::makers {
namespace {

constexpr CodeText kMinusCodes[] = {
    {1, "(-1) O cabeçalho contém caracteres inválidos"_cp},
    {2, "(-2) Comando inexistente"_cp},
    {3, "(-3) Valor não numérico em campo numérico"_cp},
    {4, "(-4) Valor fora de faixa entre 20h e 7Fh"_cp},
    {5, "(-5) Campo deve iniciar com @, & ou %"_cp},
    {6, "(-6) Campo deve iniciar com $, # ou ?"_cp},
    {7, "(-7) O intervalo é inconsistente - O primeiro valor deve ser menor que o segundo"_cp},
    {9, "(-9) A String TOTAL não é aceita"_cp},
    {10, "(-10) Sintaxe do comando está incorreta"_cp},
    {11, "(-11) Excedeu o número máximo de linhas permitidas pelo comando"_cp},
    {12, "(-12) O terminador enviado não está respeitando o protoc. de com."_cp},
    {13, "(-13) O CheckSum está incorreto"_cp},
    {15, "(-15) A situação tributária deve iniciar com T, F, I ou N"_cp},
    {16, "(-16) Data inálida"_cp},
    {17, "(-17) Hora Inválida"_cp},
    {18, "(-18) Alíquota não programada ou fora de intervalo"_cp},
    {19, "(-19) O campo de sinal está incorreto"_cp},
    {20, "(-20) Comando só pode ser aceito com intervenção técnica"_cp},
    {21, "(-21) Comando só pode ser aceito em modo NORMAL"_cp},
    {22, "(-22) Necessário abrir cupom fiscal"_cp},
    {23, "(-23) Comando não aceito durante cupom fiscal"_cp},
    {24, "(-24) Necessário abrir o cupom fiscal"_cp},
    {25, "(-25) Comando não aceito durante cupom não fiscal"_cp},
    {26, "(-26) Relógio já está em horário de verão"_cp},
    {27, "(-27) Relógio não está em horário de verão"_cp},
    {28, "(-28) Necessário realizar REDUÇÃO Z"_cp},
    {29, "(-29) Fechamento do dia (REDUÇÃO Z) já realizado"_cp},
    {30, "(-30) Necessário programar LEGENDA"_cp},
    {31, "(-31) Item inexistente ou já cancelado"_cp},
    {32, "(-32) O cupom anterior não pode ser cancelado"_cp},
    {33, "(-33) Detectado falta de papel"_cp},
    {36, "(-36) Necessário programar os dados do estabelecimento"_cp},
    {37, "(-37) Necessário realizar intervenção técnica"_cp},
    {38, "(-38) A memória fiscal não permite mais realizar vendas!"_cp},
    {39, "(-39) Problemas com o NOVRAM - Necessária Intervenção Técnica"_cp},
    {40, "(-40) Necessário programar a data do relógio do ECF"_cp},
    {41, "(-41) Número máximo de itens (450) do ECF atingido"_cp},
    {42, "(-42) Já foi realizado o ajuste de hora diário"_cp},
    {43, "(-43) Comando inválido ainda em execução"_cp},
    {44, "(-44) Em estado de impressão de cheque"_cp},
    {45, "(-45) Não está em estado de impressão de cheque"_cp},
    {46, "(-46) Necessário inserir cheque"_cp},
    {47, "(-47) Necessário inserir nova bobina"_cp},
    {48, "(-48) Necessário efetuar Leitura X"_cp},
    {49, "(-49) Detectado problema no ECF (Papel enrroscado, Supertensão,...)"_cp},
    {50, "(-50) Cupom já foi totalizado"_cp},
    {51, "(-51) Necessário totalizar cupom antes de fechá-lo"_cp},
    {52, "(-52) Necessário finalizar cupom com comando correto"_cp},
    {53, "(-53) Ocorreu erro na gravação da memória fiscal"_cp},
    {54, "(-54) Excedeu número máximo de estabelecimentos"_cp},
    {55, "(-55) Memória fiscal não inicializada"_cp},
    {56, "(-56) Ultrapassou valor do pagamento"_cp},
    {57, "(-57) Registrador não programado ou troco já realizado"_cp},
    {58, "(-58) Falta completar valor de pagamento"_cp},
    {59, "(-59) Campo somente de caracteres não numéricos (alfabéticos)"_cp},
    {60, "(-60) Excedeu campo máximo de caracteres"_cp},
    {61, "(-61) Troco não realizado"_cp},
    {62, "(-62) Comando desabilitado"_cp},
};
static_assert(std::size(kMinusCodes) == 58);

constexpr bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

namespace tables {
std::span<const CodeText> minus_codes() { return kMinusCodes; }
}  // namespace tables

// The code is the two digits at positions 5 and 6; a text without them, or a
// code without an explanation, shows nothing.
void analisa_texto_ret_ecf32m(std::string_view text) {
  if (text.size() < 6 || !is_digit(text[4]) || !is_digit(text[5])) return;
  int32_t number = (text[4] - '0') * 10 + (text[5] - '0');
  if (auto message = find_text(kMinusCodes, number)) msg::notice(*message);
}

}  // namespace kalpo::makers
