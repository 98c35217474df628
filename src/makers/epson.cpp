// Epson: the printer's state after each call, cut into its six fields and
// told to the operator field by field.
#include <array>
#include <cstring>
#include <optional>
#include <string>

#include "base/cp1252.h"
#include "frame/messages.h"
#include "frame/state.h"
#include "makers/analysis.h"
#include "makers/code_texts.h"
#include "seam/seam.h"

namespace kalpo::makers {
namespace {

// Field-error code of positions 1-2.
constexpr CodeText kFieldErrors[] = {
    {0, "Campos sem erro."_cp},
    {1, "Campo deve ser um ponteiro para string."_cp},
    {2, "String com data inválida."_cp},
    {3, "String com hora inválida."_cp},
    {4, "String não está vazia ou contém data inválida."_cp},
    {5, "String não está vazia ou contém hora inválida."_cp},
    {6, "String não pode ser vazia."_cp},
};
static_assert(std::size(kFieldErrors) == 7);

// Port code of positions 5-8.
constexpr CodeText kPorts[] = {
    {0x0000, "Porta aberta com sucesso."_cp},
    {0x0001, "Porta já está aberta."_cp},
    {0x0002, "Porta usada por outra aplicação."_cp},
    {0x0004, "Número de porta inválido."_cp},
    {0x0005, "Velocidade inválida."_cp},
    {0x0010, "String não está vazia ou contém hora inválida."_cp},
};
static_assert(std::size(kPorts) == 6);

// Command result code of positions 17-20, grouped by the high byte.
constexpr CodeText kResults[] = {
    {0x0000, "Resultado sem erro"_cp},
    {0x0001, "Erro interno"_cp},
    {0x0002, "Erro de iniciação do equipamento"_cp},
    {0x0003, "Erro de processo interno"_cp},
    {0x0101, "Comando inválido para o estado atual"_cp},
    {0x0102, "Comando inválido para o documento atual"_cp},
    {0x0106, "Comando aceito apenas fora de intervenção"_cp},
    {0x0107, "Comando aceito apenas dentro de intervenção"_cp},
    {0x0108, "Comando inválido durante processo de scan"_cp},
    {0x0109, "Excesso de intervenções"_cp},
    {0x0201, "Comando com frame inválido"_cp},
    {0x0202, "Comando inválido"_cp},
    {0x0203, "Campos em excesso"_cp},
    {0x0204, "Campos em falta"_cp},
    {0x0205, "Campo não opcional"_cp},
    {0x0206, "Campo alfanumérico inválido"_cp},
    {0x0207, "Campo alfabético inválido"_cp},
    {0x0208, "Campo numérico inválido"_cp},
    {0x0209, "Campo binário inválido"_cp},
    {0x020A, "Campo imprimível inválido"_cp},
    {0x020B, "Campo hexadecimal inválido"_cp},
    {0x020C, "Campo data inválido"_cp},
    {0x020D, "Campo hora inválido"_cp},
    {0x020E, "Campo com atributos de impressão inválidos"_cp},
    {0x020F, "Campo booleano inválido"_cp},
    {0x0210, "Campo com tamanho inválido"_cp},
    {0x0211, "Extensão de comando inválida"_cp},
    {0x0212, "Código de barra não permitido"_cp},
    {0x0213, "Atributos de impressão não permitidos"_cp},
    {0x0214, "Atributos de impressão inválidos"_cp},
    {0x0215, "Código de barras incorretamente definido"_cp},
    {0x0217, "Comando invalido para a porta selecionada"_cp},
    {0x0301, "Erro de hardware"_cp},
    {0x0302, "Impressora não está pronta"_cp},
    {0x0303, "Erro de Impressão"_cp},
    {0x0304, "Falta de papel"_cp},
    {0x0305, "Pouco papel disponível"_cp},
    {0x0306, "Erro em carga ou expulsão do papel"_cp},
    {0x0307, "Característica não suportada pela impressora"_cp},
    {0x0308, "Erro de display"_cp},
    {0x0309, "Seqüência de scan inválida"_cp},
    {0x030E, "Erro de leitura do microcódigo"_cp},
    {0x0401, "Número de série inválido"_cp},
    {0x0402, "Requer dados de fiscalização já configurados"_cp},
    {0x0501, "Data / Hora não configurada"_cp},
    {0x0502, "Data inválida"_cp},
    {0x0503, "Data em intervalo inválido"_cp},
    {0x0504, "Nome operador inválido"_cp},
    {0x0505, "Número de caixa inválido"_cp},
    {0x0508, "Dados de Cabeçalho ou rodapé inválidos"_cp},
    {0x0509, "Excesso de fiscalização"_cp},
    {0x050D, "Meio de pagamento já definido"_cp},
    {0x050E, "Meio de pagamento inválido"_cp},
    {0x050F, "Descrição do meio de pagamento inválido"_cp},
    {0x0510, "Valor máximo de desconto inválido"_cp},
    {0x0513, "Logotipo do usuário inválido"_cp},
    {0x0514, "Seqüência de logotipo inválido"_cp},
    {0x0515, "Configuração de display inválida"_cp},
    {0x0516, "Dados do MICR inválidos"_cp},
    {0x0517, "Campo de endereço inválido"_cp},
    {0x0518, "Nome da loja não definido"_cp},
    {0x0519, "Dados fiscais não definidos"_cp},
    {0x051D, "Senha de fiscalização inválida"_cp},
    {0x051E, "Último documento deve ser uma redução Z"_cp},
    {0x051F, "Símbolo da moeda igual ao atualmente cadastrado"_cp},
    {0x0520, "Identificação da alíquota não cadastrada"_cp},
    {0x0521, "Alíquota não cadastrada"_cp},
    {0x0601, "Memória de Fita-detalhe esgotada"_cp},
    {0x0605, "Número de série invalido para a Memória de Fita-detalhe"_cp},
    {0x0606, "Memória de Fita-detalhe não iniciada"_cp},
    {0x0607, "Memória de Fita-detalhe não pode estar iniciada"_cp},
    {0x0608, "Número de série da Memória de Fita-detalhe não confere"_cp},
    {0x0609, "Erro Interno na Memória de Fita-detalhe"_cp},
    {0x0701, "Valor inválido para o número do registro"_cp},
    {0x0702, "Valor inválido para o número do item"_cp},
    {0x0703, "Intervalo inválido para a leitura da MFD"_cp},
    {0x0704, "Número de usuário inválido para MFD"_cp},
    {0x0801, "Comando inválido com jornada fiscal fechada"_cp},
    {0x0802, "Comando inválido com jornada fiscal aberta"_cp},
    {0x0803, "Memória Fiscal esgotada"_cp},
    {0x0804, "Jornada fiscal deve ser fechada"_cp},
    {0x0805, "Não há meios de pagamento definidos"_cp},
    {0x0806, "Excesso de meios de pagamento utilizados na jornada fiscal"_cp},
    {0x0807, "Jornada fiscal sem movimento de vendas"_cp},
    {0x0808, "Intervalo de jornada fiscal inválido"_cp},
    {0x0809, "Existem mais dados para serem lidos"_cp},
    {0x080D, "Limite máximo do período fiscal atingido"_cp},
    {0x080E, "Limite máximo do período fiscal não atingido"_cp},
    {0x080F, "Abertura da jornada fiscal não permitida"_cp},
    {0x0901, "Valor muito grande"_cp},
    {0x0902, "Valor muito pequeno"_cp},
    {0x0903, "Itens em excesso"_cp},
    {0x0904, "Alíquotas em excesso"_cp},
    {0x0905, "Desconto ou acréscimos em excesso"_cp},
    {0x0906, "Meios de pagamento em excesso"_cp},
    {0x0907, "Item não encontrado"_cp},
    {0x0908, "Meio de pagamento não encontrado"_cp},
    {0x0909, "Total nulo"_cp},
    {0x090F, "Alíquota não encontrada"_cp},
    {0x0910, "Alíquota inválida"_cp},
    {0x0911, "Excesso de meios de pagamento com CDC"_cp},
    {0x0912, "Meio de pagamento com CDC já emitido"_cp},
    {0x0913, "Meio de pagamento com CDC ainda não emitido"_cp},
    {0x0914, "Leitura da Memória Fiscal – intervalo CRZ inválido"_cp},
    {0x0915, "Leitura da Memória Fiscal – intervalo de data inválido"_cp},
    {0x0A01, "Operação não permitida após desconto / acréscimo"_cp},
    {0x0A02, "Operação não permitida após registro de pagamentos"_cp},
    {0x0A03, "Tipo de item inválido"_cp},
    {0x0A04, "Linha de descrição em branco"_cp},
    {0x0A05, "Quantidade muito pequena"_cp},
    {0x0A06, "Quantidade muito grande"_cp},
    {0x0A07, "Total do item com valor muito alto"_cp},
    {0x0A08, "Operação não permitida antes do registro de pagamentos"_cp},
    {0x0A09, "Registro de pagamento incompleto"_cp},
    {0x0A0A, "Registro de pagamento finalizado"_cp},
    {0x0A0B, "Valor pago inválido"_cp},
    {0x0A0C, "Valor de desconto ou acréscimo não permitido"_cp},
    {0x0A0E, "Valor não pode ser zero"_cp},
    {0x0A0F, "Operação não permitida antes do registro de itens"_cp},
    {0x0A11, "Cancelamento de desconto e acréscimo somente para item atual"_cp},
    {0x0A12, "Não foi possível cancelar último Cupom Fiscal"_cp},
    {0x0A13, "Último Cupom Fiscal não encontrado"_cp},
    {0x0A14, "Último Comprovante Não-Fiscal não encontrado"_cp},
    {0x0A15, "Cancelamento de CDC necessária"_cp},
    {0x0A16, "Número de item em Cupom Fiscal inválido"_cp},
    {0x0A17, "Operação somente permitida após subtotalização"_cp},
    {0x0A18, "Operação somente permitida durante a venda de itens"_cp},
    {0x0A19, "Operação não permitida em item com desconto ou acréscimo"_cp},
    {0x0A1A, "Dígitos de quantidade inválidos"_cp},
    {0x0A1B, "Dígitos de valor unitário inválido"_cp},
    {0x0A1C, "Não há desconto ou acréscimo a cancelar"_cp},
    {0x0A1D, "Não há item para cancelar"_cp},
    {0x0A1E, "Desconto ou acréscimo somente no item atual"_cp},
    {0x0A1F, "Desconto ou acréscimo já efetuado"_cp},
    {0x0A20, "Desconto ou acréscimo nulo não permitido"_cp},
    {0x0A21, "Valor unitário inválido"_cp},
    {0x0A22, "Quantidade inválida"_cp},
    {0x0A23, "Código de item inválido"_cp},
    {0x0A24, "Descrição inválida"_cp},
    {0x0A25, "Operação de desconto ou acréscimo não permitida"_cp},
    {0x0A26, "Mensagem promocional já impressa"_cp},
    {0x0A27, "Linhas adicionais não podem ser impressas"_cp},
    {0x0A28, "Dados do consumidor já impresso"_cp},
    {0x0A29, "Dados do consumidor somente no fim do documento"_cp},
    {0x0A2A, "Dados do consumidor somente no inicio do documento"_cp},
    {0x0A2B, "Comando Inválido para o item"_cp},
    {0x0E01, "Número de linhas em documento excedido"_cp},
    {0x0E02, "Número do relatório inválido"_cp},
    {0x0E03, "Operação não permitida após registro de itens"_cp},
    {0x0E04, "Registro de valor nulo não permitido"_cp},
    {0x0E05, "Não há desconto a cancelar"_cp},
    {0x0E06, "Não há acréscimo a cancelar"_cp},
    {0x0E07, "Operação somente permitida após subtotalização"_cp},
    {0x0E08, "Operação somente permitida durante registro de itens"_cp},
    {0x0E09, "Operação não-fiscal inválida"_cp},
    {0x0E0A, "Último comprovante Não-Fiscal não encontrado"_cp},
    {0x0E0B, "Meio de pagamento não encontrado"_cp},
    {0x0E0C, "Não foi possível imprimir nova via"_cp},
    {0x0E0D, "Não foi possível realizar reimpressão"_cp},
    {0x0E0E, "Não foi possível imprimir nova parcela"_cp},
    {0x0E0F, "Não há mais parcelas a imprimir"_cp},
    {0x0E10, "Registro de item Não-Fiscal inválido"_cp},
    {0x0E11, "Desconto ou acréscimo já efetuado"_cp},
    {0x0E12, "Valor de desconto ou acréscimo inválido"_cp},
    {0x0E13, "Não foi possível cancelar o item"_cp},
    {0x0E14, "Itens em excesso"_cp},
    {0x0E15, "Operação Não-Fiscal não cadastrada"_cp},
    {0x0E16, "Excesso de relatórios / operações não-fiscais cadastradas"_cp},
    {0x0E17, "Relatório não encontrado"_cp},
    {0x0E18, "Comando não permitido"_cp},
    {0x0E19, "Comando não permitido em operações não-fiscais para movimento de monetário"_cp},
    {0x0E1A, "Comando permitido apenas em operações não-fiscais para movimento de monetário"_cp},
    {0x0E1B, "Número de parcelas inválido para a emissão de CCD"_cp},
    {0x0E1C, "Operação não fiscal já cadastrada"_cp},
    {0x0E1D, "Relatório gerencial já cadastrado"_cp},
    {0x0E1E, "Relatório Gerencial Inválido"_cp},
    {0x3001, "Configuração de cheque não registrada"_cp},
    {0x3002, "Configuração de cheque não encontrada"_cp},
    {0x3003, "Valor do cheque já impresso"_cp},
    {0x3004, "Nominal ao cheque já impresso"_cp},
    {0x3005, "Linhas adicionais no cheque já impresso"_cp},
    {0x3006, "Autenticação já impressa"_cp},
    {0x3007, "Número máximo de autenticações já impresso"_cp},
    {0x300A, "Número de área de recorte inválido"_cp},
    {0x300B, "Scanner não preparado"_cp},
    {0x300C, "Qualidade de Logotipo não suportada pela impressora"_cp},
    {0x500C, "Número máximo de meios de pagamento já definidos"_cp},
    {0x510A, "Número seqüencial do ECF inválido"_cp},
    {0x510B, "Simbologia do GT inválida, devem ser todos diferentes"_cp},
    {0x510C, "Número de CNPJ inválido"_cp},
    {0x800A, "Não existem mais dados para serem lidos"_cp},
    {0x800B, "Não pode abrir jornada fiscal"_cp},
    {0x800C, "Não pode fechar jornada fiscal"_cp},
    {0x900C, "Tipo de pagamento não definido"_cp},
};
static_assert(std::size(kResults) == 194);

constexpr std::size_t kStateLength = 20;

// The six fields of the state text, as numbers where they are read as such.
struct StateFields {
  int32_t field_error = 0;
  std::string field_number;  // positions 3-4, shown unchanged
  int32_t port = 0;
  int32_t printer_status = 0;
  int32_t fiscal_status = 0;
  int32_t result = 0;
};

constexpr bool is_digit(char c) { return c >= '0' && c <= '9'; }

constexpr int hex_value(char c) {
  if (is_digit(c)) return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// A decimal field: an optional sign and at least one digit, nothing else.
std::optional<int32_t> read_decimal(std::string_view field) {
  bool negative = false;
  if (!field.empty() && (field.front() == '-' || field.front() == '+')) {
    negative = field.front() == '-';
    field.remove_prefix(1);
  }
  if (field.empty()) return std::nullopt;
  int32_t value = 0;
  for (char c : field) {
    if (!is_digit(c)) return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return negative ? -value : value;
}

// A hexadecimal field: exactly its hex digits, nothing else.
std::optional<int32_t> read_hex(std::string_view field) {
  if (field.empty()) return std::nullopt;
  int32_t value = 0;
  for (char c : field) {
    int digit = hex_value(c);
    if (digit < 0) return std::nullopt;
    value = value * 16 + digit;
  }
  return value;
}

std::string upper(std::string_view s) {
  std::string out(s);
  for (char &c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

// Cuts the fields by position; nothing when a numeric field is unreadable.
std::optional<StateFields> cut_fields(std::string_view text) {
  auto field_error = read_decimal(text.substr(0, 2));
  auto port = read_hex(text.substr(4, 4));
  auto printer_status = read_hex(text.substr(8, 4));
  auto fiscal_status = read_hex(text.substr(12, 4));
  auto result = read_hex(upper(text.substr(16, 4)));
  if (!field_error || !port || !printer_status || !fiscal_status || !result) return std::nullopt;
  std::string_view number = text.substr(2, 2);
  return StateFields{*field_error,   std::string(number.substr(0, strnlen(number.data(), number.size()))),
                     *port,          *printer_status,
                     *fiscal_status, *result};
}

// The printer status word, walked from the top bit down.
// QUIRK: only the first four rows subtract, so a remainder of 8 or more reports the paper twice.
void printer_status_text(int32_t value, std::string &text) {
  if (value >= 0x8000) {
    text += "Impressora(Offline) - "_cp;
    value -= 0x8000;
  }
  if (value >= 0x4000) {
    text += "Erro de impressão - "_cp;
    value -= 0x4000;
  }
  if (value >= 0x2000) {
    text += "Tampa superior aberta - "_cp;
    value -= 0x2000;
  }
  if (value >= 8) {
    text += "Sem papel - "_cp;
    value -= 8;
  }
  if (value >= 2) text += "Sem papel - "_cp;
}

// The fiscal status word: mode bits 15 and 14, technical intervention, the
// fiscal memory's bits 11 and 10, and the sales period in bits 9 to 7.
void fiscal_status_text(int32_t value, std::string &text) {
  bool bit15 = false, bit14 = false, bit11 = false, bit10 = false;
  if (value >= 0x8000) {
    bit15 = true;
    value -= 0x8000;
  }
  if (value >= 0x4000) {
    bit14 = true;
    value -= 0x4000;
  }
  if (!bit15 && !bit14) text += "Modo bloqueado - "_cp;
  if (value >= 0x1000) {
    text += "Modo de Intervenção Técnica - "_cp;
    value -= 0x1000;
  }
  if (value >= 0x800) {
    bit11 = true;
    value -= 0x800;
  }
  if (value >= 0x400) {
    bit10 = true;
    value -= 0x400;
  }
  if (bit11 && bit10) {
    text += "Erro de leitura/escrita da Memória Fiscal - "_cp;
  } else if (bit11) {
    text += "Memória Fiscal cheia - "_cp;
  } else if (bit10) {
    text += "Memória Fiscal em esgotamento - "_cp;
  }
  if (value < 0x80) text += "Período de vendas fechado - "_cp;
}

}  // namespace

namespace tables {
std::span<const CodeText> epson_field_errors() { return kFieldErrors; }
std::span<const CodeText> epson_ports() { return kPorts; }
std::span<const CodeText> epson_results() { return kResults; }
}  // namespace tables

// The name of the call is not shown to the operator.
bool analisa_ret_epson(std::string_view) {
  constexpr std::string_view kNoCommunication = "Erro de comunicação. Verifique a Impressora!"_cp;
  bool result = true;
  std::array<char, kStateLength + 1> buffer{};
  std::memset(buffer.data(), ' ', kStateLength);
  if (seam::api().EPSON_Obter_Estado_Impressora(buffer.data()) != 0) {
    msg::notice(kNoCommunication);
    return false;
  }
  if (state().iRetornoEpson != 0) {
    msg::notice(kNoCommunication);
    result = false;
  }

  buffer[kStateLength] = '\0';
  std::string_view state_text(buffer.data(), kStateLength);
  std::optional<StateFields> fields = cut_fields(state_text);
  if (!fields) {
    report_unreadable_answer(state_text.substr(0, strnlen(buffer.data(), kStateLength)));
    return false;
  }

  if (fields->field_error != 0) {
    std::string_view error = find_text(kFieldErrors, fields->field_error).value_or("Erro não mapeado."_cp);
    msg::notice(std::string(error) + " - Campo com erro: " + fields->field_number);
    result = false;
  }
  if (fields->port != 0) {
    msg::notice(find_text(kPorts, fields->port).value_or("Erro interno da biblioteca."_cp));
    result = false;
  }
  std::string status;
  printer_status_text(fields->printer_status, status);
  fiscal_status_text(fields->fiscal_status, status);
  if (!status.empty()) {
    msg::notice(status);
    result = false;
  }
  if (fields->result != 0) {
    msg::notice(find_text(kResults, fields->result).value_or("Erro desconhecido"_cp));
    result = false;
  }
  return result;
}

}  // namespace kalpo::makers
