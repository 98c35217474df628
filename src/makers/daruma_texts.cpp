// Daruma: the texts of its extended error numbers.
#include "base/cp1252.h"
#include "makers/code_texts.h"

namespace kalpo::makers {
namespace {

using C = base::MessageCode;

// Extended error number -> message; a number not listed has no text.
constexpr CodeText kErrors[] = {
    {1, "Comando disponível somente em modo de manutenção"_cp, C::intervention},
    {2, "Erro durante a gravação da memória fiscal"_cp, C::fiscal_memory},
    {3, "Memória Fiscal esgotada"_cp, C::fiscal_memory},
    {4, "Erro no relógio interno da IF"_cp, C::clock},
    {5, "Falha mecânica na IF"_cp, C::printer_error},
    {6, "Erro durante a leitura da Memória Fiscal"_cp, C::fiscal_memory},
    {7, "Metodo permitido apenas no modo fiscal"_cp, C::invalid_command},
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
    {26, "Metodo não pode ser executado"_cp, C::invalid_command},
    {27, "Nenhum periférico conectado a interface auxiliar"_cp, C::auxiliary_device},
    {28, "Foi encontrado um campo em zero"_cp, C::invalid_parameter},
    {29, "Documento anterior não foi cupom fiscal. Não pode emitir cupom adicional"_cp, C::invalid_command},
    {30, "Acumulador não fiscal selecionado não é válido ou não está disponível"_cp, C::printer_setup},
    {31, "Não pode autenticar. Recebeu 4 repetições ou não é permitido nesta fase"_cp, C::invalid_command},
    {32, "Cupom adicional inibido por configuração"_cp, C::printer_setup},
    {35, "Relógio interno inoperante"_cp, C::clock},
    {36, "Versão do Firmware gravado na memória fiscal não é a esperada"_cp, C::printer_error},
    {37, "Alíquota de imposto informada já está carregada na memória"_cp, C::tax_rate},
    {38, "Forma de pagamento selecionada não é válida"_cp, C::payment},
    {39, "Erro na seqüência de fechamento do cupom fiscal"_cp, C::sequence},
    {40, "IF em jornada fiscal. Alteração da configuração não é permitido"_cp, C::day_open},
    {41, "Data fornecida é inferior à última gravada na memória fiscal"_cp, C::clock},
    {42, "Leitura X inicial ainda não foi emitida"_cp, C::day_not_open},
    {43, "Não pode emitir comprovante vinculado"_cp, C::invalid_command},
    {44, "Cupom de orçamento não permitido"_cp, C::invalid_command},
    {45, "Campo obrigatório em branco"_cp, C::invalid_parameter},
    {48, "Não pode extornar"_cp, C::cancel_refused},
    {49, "Forma de pagamento indicada não encontrada"_cp, C::payment},
    {50, "Sem papel"_cp, C::paper_end},
    {51, "Nenhum usuario cadastrado na MF"_cp, C::printer_setup},
    {52, "MF não instalada ou não inicializada"_cp, C::fiscal_memory},
    {56, "Documento já aberto"_cp, C::coupon_open},
    {61, "Queda de energia durante a emissão do cupom fiscal"_cp, C::printer_error},
    {75, "Operação de ISS não permitida"_cp, C::invalid_command},
    {76, "Desconto de ISS não permitido para este ECF"_cp, C::discount},
    {77, "Acrescimo de IOF inibido"_cp, C::discount},
    {80, "Periférico na interface auxiliar não pode ser reconhecido"_cp, C::auxiliary_device},
    {81, "Solicitado preenchimento de cheque em banco desconhecido"_cp, C::auxiliary_device},
    {82, "Solicitado transação de mensagem nula pela interface auxiliar"_cp, C::auxiliary_device},
    {83, "Extenso do cheque não cabe no espaço disponível"_cp, C::auxiliary_device},
    {84, "Erro na comunicação da interface auxiliar"_cp, C::auxiliary_device},
    {85, "Erro no dígito verificador durante a comunicação com a PERTOCHECK"_cp, C::auxiliary_device},
    {86, "Falha na emissão da geometria da folha de cheque"_cp, C::auxiliary_device},
    {87, "Parametro do metodo invalido para o campo do cheque"_cp, C::auxiliary_device},
    {90, "Sequencia de validacao de numero de serie invalida"_cp, C::invalid_parameter},
    {180, "Mensagem do aplicativo nao programada"_cp, C::printer_setup},
    {181, "Nao é possivel realizar Redução Z neste horario"_cp, C::invalid_command},
    {999, "Sem comunicação com a impressora"_cp, C::printer_off},
};

}  // namespace

namespace tables {
std::span<const CodeText> daruma_errors() { return kErrors; }
}  // namespace tables

}  // namespace kalpo::makers
