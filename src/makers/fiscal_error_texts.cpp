// Daruma and Sigtron: the texts of their printers' error numbers.  The two
// makers' printers share most numbers; each entry says whose it is.
#include <algorithm>
#include <array>
#include <cstdint>

#include "base/cp1252.h"
#include "makers/code_texts.h"

namespace kalpo::makers {
namespace {

using C = base::MessageCode;

enum Makers : uint8_t { kDaruma = 1, kSigtron = 2, kBoth = kDaruma | kSigtron };

struct SharedError {
  CodeText entry;
  uint8_t makers;
};

// Error number -> message; a number a maker's printer does not list has no text.
constexpr SharedError kErrors[] = {
    {{0, "IF em Manutenção .. foi ligada sem o Jumper de operação"_cp, C::intervention}, kSigtron},
    {{1, "Comando disponível somente em modo de manutenção"_cp, C::intervention}, kBoth},
    {{2, "Erro durante a gravação da memória fiscal"_cp, C::fiscal_memory}, kBoth},
    {{3, "Memória Fiscal esgotada"_cp, C::fiscal_memory}, kBoth},
    {{4, "Erro no relógio interno da IF"_cp, C::clock}, kBoth},
    {{5, "Falha mecânica na IF"_cp, C::printer_error}, kBoth},
    {{6, "Erro durante a leitura da Memória Fiscal"_cp, C::fiscal_memory}, kBoth},
    {{7, "Metodo permitido apenas no modo fiscal"_cp, C::invalid_command}, kDaruma},
    {{10, "Documento sendo emitido"_cp, C::coupon_open}, kBoth},
    {{11, "Documento não foi aberto"_cp, C::coupon_closed}, kBoth},
    {{12, "Não existe documento a cancelar"_cp, C::cancel_refused}, kBoth},
    {{13, "Dígito não numérido não esperado foi encontrado nos parâmetros"_cp, C::invalid_parameter}, kBoth},
    {{14, "Não há mais memória disponível para esta operação"_cp, C::limit_reached}, kBoth},
    {{15, "Item a cancelar não foi encontrado"_cp, C::item}, kBoth},
    {{16, "Erro de Sintaxe no comando"_cp, C::invalid_command}, kBoth},
    {{17, "Estouro de capacidade numérica (OVERFLOW)"_cp, C::invalid_parameter}, kBoth},
    {{18, "Selecionado totalizador tributado com alíquota de Imposto não definida"_cp, C::tax_rate}, kBoth},
    {{19, "Memória Fiscal Vazia"_cp, C::fiscal_memory}, kBoth},
    {{20, "Não existem campos que requerem atualização"_cp, C::invalid_parameter}, kBoth},
    {{21, "Detectado proximidade no final da bobina do papel"_cp, C::paper_low}, kBoth},
    {{22, "Cupom de redução Z já foi emitido. IF inoperante até 00:00h do próximo dia"_cp, C::day_closed}, kBoth},
    {{23, "Redução Z do período anterior ainda pendente. IF inoperante"_cp, C::reduction_due}, kBoth},
    {{24, "Valor de desconto ou acréscimo inválido. (Limitado a 100%)"_cp, C::discount}, kBoth},
    {{25, "Caracter inválido encontrado nos parâmetros"_cp, C::invalid_parameter}, kBoth},
    {{26, "Metodo não pode ser executado"_cp, C::invalid_command}, kDaruma},
    {{27, "Nenhum periférico conectado a interface auxiliar"_cp, C::auxiliary_device}, kBoth},
    {{28, "Foi encontrado um campo em zero"_cp, C::invalid_parameter}, kBoth},
    {{29, "Documento anterior não foi cupom fiscal. Não pode emitir cupom adicional"_cp, C::invalid_command}, kBoth},
    {{30, "Acumulador não fiscal selecionado não é válido ou não está disponível"_cp, C::printer_setup}, kBoth},
    {{31, "Não pode autenticar. Recebeu 4 repetições ou não é permitido nesta fase"_cp, C::invalid_command}, kBoth},
    {{32, "Cupom adicional inibido por configuração"_cp, C::printer_setup}, kBoth},
    {{35, "Relógio interno inoperante"_cp, C::clock}, kDaruma},
    {{36, "Versão do Firmware gravado na memória fiscal não é a esperada"_cp, C::printer_error}, kBoth},
    {{37, "Alíquota de imposto informada já está carregada na memória"_cp, C::tax_rate}, kBoth},
    {{38, "Forma de pagamento selecionada não é válida"_cp, C::payment}, kBoth},
    {{39, "Erro na seqüência de fechamento do cupom fiscal"_cp, C::sequence}, kBoth},
    {{40, "IF em jornada fiscal. Alteração da configuração não é permitido"_cp, C::day_open}, kBoth},
    {{41, "Data fornecida é inferior à última gravada na memória fiscal"_cp, C::clock}, kBoth},
    {{42, "Leitura X inicial ainda não foi emitida"_cp, C::day_not_open}, kBoth},
    {{43, "Não pode emitir comprovante vinculado"_cp, C::invalid_command}, kBoth},
    {{44, "Cupom de orçamento não permitido"_cp, C::invalid_command}, kDaruma},
    {{45, "Campo obrigatório em branco"_cp, C::invalid_parameter}, kBoth},
    {{48, "Não pode extornar"_cp, C::cancel_refused}, kDaruma},
    {{49, "Forma de pagamento indicada não encontrada"_cp, C::payment}, kDaruma},
    {{50, "Sem papel"_cp, C::paper_end}, kBoth},
    {{51, "Nenhum usuario cadastrado na MF"_cp, C::printer_setup}, kDaruma},
    {{52, "MF não instalada ou não inicializada"_cp, C::fiscal_memory}, kDaruma},
    {{56, "Documento já aberto"_cp, C::coupon_open}, kDaruma},
    {{61, "Queda de energia durante a emissão do cupom fiscal"_cp, C::printer_error}, kBoth},
    {{75, "Operação de ISS não permitida"_cp, C::invalid_command}, kDaruma},
    {{76, "Desconto de ISS não permitido para este ECF"_cp, C::discount}, kDaruma},
    {{77, "Acrescimo de IOF inibido"_cp, C::discount}, kDaruma},
    {{80, "Periférico na interface auxiliar não pode ser reconhecido"_cp, C::auxiliary_device}, kBoth},
    {{81, "Solicitado preenchimento de cheque em banco desconhecido"_cp, C::auxiliary_device}, kBoth},
    {{82, "Solicitado transação de mensagem nula pela interface auxiliar"_cp, C::auxiliary_device}, kBoth},
    {{83, "Extenso do cheque não cabe no espaço disponível"_cp, C::auxiliary_device}, kBoth},
    {{84, "Erro na comunicação da interface auxiliar"_cp, C::auxiliary_device}, kBoth},
    {{85, "Erro no dígito verificador durante a comunicação com a PERTOCHECK"_cp, C::auxiliary_device}, kBoth},
    {{86, "Falha na emissão da geometria da folha de cheque"_cp, C::auxiliary_device}, kDaruma},
    {{87, "Parametro do metodo invalido para o campo do cheque"_cp, C::auxiliary_device}, kDaruma},
    {{90, "Sequencia de validacao de numero de serie invalida"_cp, C::invalid_parameter}, kDaruma},
    {{180, "Mensagem do aplicativo nao programada"_cp, C::printer_setup}, kDaruma},
    {{181, "Nao é possivel realizar Redução Z neste horario"_cp, C::invalid_command}, kDaruma},
    {{999, "Sem comunicação com a impressora"_cp, C::printer_off}, kDaruma},
};

constexpr std::size_t count_of(uint8_t maker) {
  return static_cast<std::size_t>(std::count_if(std::begin(kErrors), std::end(kErrors),
                                                [maker](const SharedError &e) { return e.makers & maker; }));
}

// The entries of one maker, in the order of the shared table.
template <uint8_t Maker>
constexpr std::array<CodeText, count_of(Maker)> entries_of() {
  std::array<CodeText, count_of(Maker)> out{};
  std::size_t at = 0;
  for (const SharedError &e : kErrors)
    if (e.makers & Maker) out[at++] = e.entry;
  return out;
}

constexpr auto kDarumaErrors = entries_of<kDaruma>();
constexpr auto kSigtronErrors = entries_of<kSigtron>();
static_assert(kDarumaErrors.size() == 63 && kSigtronErrors.size() == 46);

}  // namespace

namespace tables {
std::span<const CodeText> daruma_errors() { return kDarumaErrors; }
std::span<const CodeText> sigtron_errors() { return kSigtronErrors; }
}  // namespace tables

}  // namespace kalpo::makers
