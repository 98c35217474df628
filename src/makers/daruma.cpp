// Daruma: the printer's status and its extended error code after the last
// command.  The extended error alone decides; a number of 1 or more is an
// error and gets one notice.
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "base/ascii.h"
#include "base/cp1252.h"
#include "frame/messages.h"
#include "frame/state.h"
#include "makers/analysis.h"
#include "makers/code_texts.h"
#include "seam/seam.h"

namespace kalpo::makers {
namespace {

// Extended error number -> message; a number not listed has no text.
constexpr CodeText kErrors[] = {
    {1, "Comando disponível somente em modo de manutenção"_cp},
    {2, "Erro durante a gravação da memória fiscal"_cp},
    {3, "Memória Fiscal esgotada"_cp},
    {4, "Erro no relógio interno da IF"_cp},
    {5, "Falha mecânica na IF"_cp},
    {6, "Erro durante a leitura da Memória Fiscal"_cp},
    {7, "Metodo permitido apenas no modo fiscal"_cp},
    {10, "Documento sendo emitido"_cp},
    {11, "Documento não foi aberto"_cp},
    {12, "Não existe documento a cancelar"_cp},
    {13, "Dígito não numérido não esperado foi encontrado nos parâmetros"_cp},
    {14, "Não há mais memória disponível para esta operação"_cp},
    {15, "Item a cancelar não foi encontrado"_cp},
    {16, "Erro de Sintaxe no comando"_cp},
    {17, "Estouro de capacidade numérica (OVERFLOW)"_cp},
    {18, "Selecionado totalizador tributado com alíquota de Imposto não definida"_cp},
    {19, "Memória Fiscal Vazia"_cp},
    {20, "Não existem campos que requerem atualização"_cp},
    {21, "Detectado proximidade no final da bobina do papel"_cp},
    {22, "Cupom de redução Z já foi emitido. IF inoperante até 00:00h do próximo dia"_cp},
    {23, "Redução Z do período anterior ainda pendente. IF inoperante"_cp},
    {24, "Valor de desconto ou acréscimo inválido. (Limitado a 100%)"_cp},
    {25, "Caracter inválido encontrado nos parâmetros"_cp},
    {26, "Metodo não pode ser executado"_cp},
    {27, "Nenhum periférico conectado a interface auxiliar"_cp},
    {28, "Foi encontrado um campo em zero"_cp},
    {29, "Documento anterior não foi cupom fiscal. Não pode emitir cupom adicional"_cp},
    {30, "Acumulador não fiscal selecionado não é válido ou não está disponível"_cp},
    {31, "Não pode autenticar. Recebeu 4 repetições ou não é permitido nesta fase"_cp},
    {32, "Cupom adicional inibido por configuração"_cp},
    {35, "Relógio interno inoperante"_cp},
    {36, "Versão do Firmware gravado na memória fiscal não é a esperada"_cp},
    {37, "Alíquota de imposto informada já está carregada na memória"_cp},
    {38, "Forma de pagamento selecionada não é válida"_cp},
    {39, "Erro na seqüência de fechamento do cupom fiscal"_cp},
    {40, "IF em jornada fiscal. Alteração da configuração não é permitido"_cp},
    {41, "Data fornecida é inferior à última gravada na memória fiscal"_cp},
    {42, "Leitura X inicial ainda não foi emitida"_cp},
    {43, "Não pode emitir comprovante vinculado"_cp},
    {44, "Cupom de orçamento não permitido"_cp},
    {45, "Campo obrigatório em branco"_cp},
    {48, "Não pode extornar"_cp},
    {49, "Forma de pagamento indicada não encontrada"_cp},
    {50, "Sem papel"_cp},
    {51, "Nenhum usuario cadastrado na MF"_cp},
    {52, "MF não instalada ou não inicializada"_cp},
    {56, "Documento já aberto"_cp},
    {61, "Queda de energia durante a emissão do cupom fiscal"_cp},
    {75, "Operação de ISS não permitida"_cp},
    {76, "Desconto de ISS não permitido para este ECF"_cp},
    {77, "Acrescimo de IOF inibido"_cp},
    {80, "Periférico na interface auxiliar não pode ser reconhecido"_cp},
    {81, "Solicitado preenchimento de cheque em banco desconhecido"_cp},
    {82, "Solicitado transação de mensagem nula pela interface auxiliar"_cp},
    {83, "Extenso do cheque não cabe no espaço disponível"_cp},
    {84, "Erro na comunicação da interface auxiliar"_cp},
    {85, "Erro no dígito verificador durante a comunicação com a PERTOCHECK"_cp},
    {86, "Falha na emissão da geometria da folha de cheque"_cp},
    {87, "Parametro do metodo invalido para o campo do cheque"_cp},
    {90, "Sequencia de validacao de numero de serie invalida"_cp},
    {180, "Mensagem do aplicativo nao programada"_cp},
    {181, "Nao é possivel realizar Redução Z neste horario"_cp},
    {999, "Sem comunicação com a impressora"_cp},
};

constexpr std::size_t kExtendedErrorLength = 4;

std::string_view error_text(int32_t number) { return find_text(kErrors, number).value_or(std::string_view()); }

// Status bytes are kept in the module state and not examined.
void read_status(DarumaStatus &daruma) {
  daruma.ack = daruma.st1 = daruma.st2 = 0;
  daruma.status_return = seam::api().Daruma_FI_RetornoImpressora(&daruma.ack, &daruma.st1, &daruma.st2);
}

// The extended error text as the library wrote it, never read past its
// four characters.
void read_extended_error(DarumaStatus &daruma) {
  char buffer[kExtendedErrorLength + 1] = "    ";
  daruma.error_return = seam::api().Daruma_FI_RetornaErroExtendido(buffer);
  daruma.extended_error.assign(buffer, strnlen(buffer, kExtendedErrorLength));
}

}  // namespace

bool analisa_ret_daruma() {
  DarumaStatus &daruma = state().daruma;
  read_status(daruma);
  read_extended_error(daruma);

  const std::optional<int32_t> number =
      base::ascii::parse_integer<int32_t>(base::ascii::trim_spaces_and_controls(daruma.extended_error));
  if (!number) {
    msg::release_input();
    report_unreadable_answer(daruma.extended_error);
    return false;
  }
  if (*number < 1) return true;

  msg::release_input();
  msg::notice(std::string("Erro na ECF nº :"_cp) + std::to_string(*number) + "\r\n" + std::string(error_text(*number)));
  return false;
}

}  // namespace kalpo::makers
