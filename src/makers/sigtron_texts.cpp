// Sigtron: the texts of its error numbers.
#include "base/cp1252.h"
#include "makers/code_texts.h"

namespace kalpo::makers {
namespace {

using C = base::MessageCode;

// Error number -> message; every number not listed is unknown.
constexpr CodeText kErrors[] = {
    {0, "IF em Manutenção .. foi ligada sem o Jumper de operação"_cp, C::intervention},
    {1, "Comando disponível somente em modo de manutenção"_cp, C::intervention},
    {2, "Erro durante a gravação da memória fiscal"_cp, C::fiscal_memory},
    {3, "Memória Fiscal esgotada"_cp, C::fiscal_memory},
    {4, "Erro no relógio interno da IF"_cp, C::clock},
    {5, "Falha mecânica na IF"_cp, C::printer_error},
    {6, "Erro durante a leitura da Memória Fiscal"_cp, C::fiscal_memory},
    {10, "Documento sendo emitido"_cp, C::coupon_open},
    {11, "Documento não foi aberto"_cp, C::coupon_closed},
    {12, "Não existe documento a cancelar"_cp, C::cancel_refused},
    {13, "Dígito não numérido não esperado foi encontrado nos parâmetros"_cp, C::invalid_parameter},
    {14, "Não há mais memória disponível para esta operação"_cp, C::limit_reached},
    {15, "Item a cancelar não foi encontrado"_cp, C::item},
    {16, "Erro de Sintaxe no comando"_cp, C::invalid_command},
    {17, "Estouro de capacidade numérica (OVERFLOW)"_cp, C::invalid_parameter},
    {18, "Selecionado totalizador tributado com alíquota de Imposto não definida"_cp, C::tax_rate},
    {19, "Memória Fiscal Vazia"_cp, C::fiscal_memory},
    {20, "Não existem campos que requerem atualização"_cp, C::invalid_parameter},
    {21, "Detectado proximidade no final da bobina do papel"_cp, C::paper_low},
    {22, "Cupom de redução Z já foi emitido. IF inoperante até 00:00h do próximo dia"_cp, C::day_closed},
    {23, "Redução Z do período anterior ainda pendente. IF inoperante"_cp, C::reduction_due},
    {24, "Valor de desconto ou acréscimo inválido. (Limitado a 100%)"_cp, C::discount},
    {25, "Caracter inválido encontrado nos parâmetros"_cp, C::invalid_parameter},
    {27, "Nenhum periférico conectado a interface auxiliar"_cp, C::auxiliary_device},
    {28, "Foi encontrado um campo em zero"_cp, C::invalid_parameter},
    {29, "Documento anterior não foi cupom fiscal. Não pode emitir cupom adicional"_cp, C::invalid_command},
    {30, "Acumulador não fiscal selecionado não é válido ou não está disponível"_cp, C::printer_setup},
    {31, "Não pode autenticar. Recebeu 4 repetições ou não é permitido nesta fase"_cp, C::invalid_command},
    {32, "Cupom adicional inibido por configuração"_cp, C::printer_setup},
    {36, "Versão do Firmware gravado na memória fiscal não é a esperada"_cp, C::printer_error},
    {37, "Alíquota de imposto informada já está carregada na memória"_cp, C::tax_rate},
    {38, "Forma de pagamento selecionada não é válida"_cp, C::payment},
    {39, "Erro na seqüência de fechamento do cupom fiscal"_cp, C::sequence},
    {40, "IF em jornada fiscal. Alteração da configuração não é permitido"_cp, C::day_open},
    {41, "Data fornecida é inferior à última gravada na memória fiscal"_cp, C::clock},
    {42, "Leitura X inicial ainda não foi emitida"_cp, C::day_not_open},
    {43, "Não pode emitir comprovante vinculado"_cp, C::invalid_command},
    {45, "Campo obrigatório em branco"_cp, C::invalid_parameter},
    {50, "Sem papel"_cp, C::paper_end},
    {61, "Queda de energia durante a emissão do cupom fiscal"_cp, C::printer_error},
    {80, "Periférico na interface auxiliar não pode ser reconhecido"_cp, C::auxiliary_device},
    {81, "Solicitado preenchimento de cheque em banco desconhecido"_cp, C::auxiliary_device},
    {82, "Solicitado transação de mensagem nula pela interface auxiliar"_cp, C::auxiliary_device},
    {83, "Extenso do cheque não cabe no espaço disponível"_cp, C::auxiliary_device},
    {84, "Erro na comunicação da interface auxiliar"_cp, C::auxiliary_device},
    {85, "Erro no dígito verificador durante a comunicação com a PERTOCHECK"_cp, C::auxiliary_device},
};

}  // namespace

namespace tables {
std::span<const CodeText> sigtron_errors() { return kErrors; }
}  // namespace tables

}  // namespace kalpo::makers
