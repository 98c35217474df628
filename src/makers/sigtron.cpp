// Sigtron: the printer's answer to the last command and the error number it
// carries, or the library's last error.  One notice names the error.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "base/ascii.h"
#include "base/cp1252.h"
#include "frame/messages.h"
#include "makers/analysis.h"
#include "makers/code_texts.h"
#include "seam/seam.h"

namespace kalpo::makers {
namespace {

// Error number -> message; every number not listed is unknown.
constexpr CodeText kErrors[] = {
    {0, "IF em Manutenção .. foi ligada sem o Jumper de operação"_cp},
    {1, "Comando disponível somente em modo de manutenção"_cp},
    {2, "Erro durante a gravação da memória fiscal"_cp},
    {3, "Memória Fiscal esgotada"_cp},
    {4, "Erro no relógio interno da IF"_cp},
    {5, "Falha mecânica na IF"_cp},
    {6, "Erro durante a leitura da Memória Fiscal"_cp},
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
    {27, "Nenhum periférico conectado a interface auxiliar"_cp},
    {28, "Foi encontrado um campo em zero"_cp},
    {29, "Documento anterior não foi cupom fiscal. Não pode emitir cupom adicional"_cp},
    {30, "Acumulador não fiscal selecionado não é válido ou não está disponível"_cp},
    {31, "Não pode autenticar. Recebeu 4 repetições ou não é permitido nesta fase"_cp},
    {32, "Cupom adicional inibido por configuração"_cp},
    {36, "Versão do Firmware gravado na memória fiscal não é a esperada"_cp},
    {37, "Alíquota de imposto informada já está carregada na memória"_cp},
    {38, "Forma de pagamento selecionada não é válida"_cp},
    {39, "Erro na seqüência de fechamento do cupom fiscal"_cp},
    {40, "IF em jornada fiscal. Alteração da configuração não é permitido"_cp},
    {41, "Data fornecida é inferior à última gravada na memória fiscal"_cp},
    {42, "Leitura X inicial ainda não foi emitida"_cp},
    {43, "Não pode emitir comprovante vinculado"_cp},
    {45, "Campo obrigatório em branco"_cp},
    {50, "Sem papel"_cp},
    {61, "Queda de energia durante a emissão do cupom fiscal"_cp},
    {80, "Periférico na interface auxiliar não pode ser reconhecido"_cp},
    {81, "Solicitado preenchimento de cheque em banco desconhecido"_cp},
    {82, "Solicitado transação de mensagem nula pela interface auxiliar"_cp},
    {83, "Extenso do cheque não cabe no espaço disponível"_cp},
    {84, "Erro na comunicação da interface auxiliar"_cp},
    {85, "Erro no dígito verificador durante a comunicação com a PERTOCHECK"_cp},
};

constexpr std::string_view kUnknown = "Desconhecido"_cp;

constexpr std::size_t kBufferSize = 100;     // the caller's buffer holds at least this
constexpr int32_t kAnswerLimit = 99;         // characters the library may copy
constexpr int64_t kErrorOffset = 536870912;  // added by DAR_Erro to the error number
constexpr std::size_t kQuotedLength = 70;    // answer characters quoted in the notice

std::string_view error_text(int64_t number) {
  if (number < INT32_MIN || number > INT32_MAX) return kUnknown;
  return find_text(kErrors, static_cast<int32_t>(number)).value_or(kUnknown);
}

// The buffer up to its first zero byte, at most length + 1 characters, never
// past the buffer.
std::string answer_text(const char *answer, int32_t length) {
  const auto limit = static_cast<std::size_t>(std::clamp(length, 0, kAnswerLimit)) + 1;
  return std::string(answer, strnlen(answer, limit));
}

// An error answer carries the number in its third and fourth characters.
std::optional<int32_t> answer_error_number(const std::string &text) {
  const std::string_view digits = std::string_view(text).substr(std::min<std::size_t>(2, text.size()), 2);
  return base::ascii::parse_integer<int32_t>(digits);
}

}  // namespace

bool analisa_ret_sigtron_fs345(int32_t code, char *answer, int32_t length, int32_t *count) {
  int64_t error = -1;
  std::memset(answer, ' ', kBufferSize);
  if (code == -1) error = int64_t{seam::api().DAR_Erro()} - kErrorOffset;
  *count = seam::api().DAR_Resposta(answer, kAnswerLimit);
  const std::string text = answer_text(answer, length);

  if (*count > 1 && answer[1] == 'E') {
    const std::optional<int32_t> number = answer_error_number(text);
    if (!number) {
      msg::release_input();
      report_unreadable_answer(text);
      return false;
    }
    error = *number;
  }
  if (error < 0) return true;

  msg::release_input();
  msg::notice(std::string("Erro na ECF nº :"_cp) + std::to_string(error) + "\r\n" + std::string(error_text(error)) +
              "[ " + text.substr(0, kQuotedLength) + " ]");
  return false;
}

}  // namespace kalpo::makers
