// The texts the library shows of its own (beside the makers' message
// tables), each with its message code.  A text that a call completes (a
// file's name, a number, a maker's text) is matched by its beginning.
#pragma once

#include <span>
#include <string_view>

#include "base/cp1252.h"
#include "base/message_codes.h"

namespace kalpo::frame::own {

// What a call writes after the text, that may tell the code better.
enum class Follows {
  nothing,
  number_and_text,  // a number, a line break and a maker's text: its code, when it has one
  driver_number,    // a command-driver error number: its entry's code, when it has one
};

struct Text {
  std::string_view text;  // Windows-1252
  base::MessageCode kind;
  Follows follows = Follows::nothing;
};

using C = base::MessageCode;

// Operations.
inline constexpr Text kPaymentMissing{"Forma de pagamento não informada!"_cp, C::payment};
inline constexpr Text kCooUnread{"Não Foi possível capturar o número do COO!"_cp, C::communication};
inline constexpr Text kProductCode{
    "Código de produto inválido para a ECF (deve ser um número inteiro de até 13 dígitos): \""_cp,
    C::invalid_parameter};
inline constexpr Text kModelUnprepared{
    "Modelo de Impressora Fiscal não prepara ainda para o programa!\r\nPor favor, utilize o utilitário do fabricante!"_cp,
    C::unsupported};
inline constexpr Text kReductionConfirm{
    "A Redução Z impossibilitará novas impressões\rde Cupons Fiscais!\r\rContinua ?"_cp, C::question};
inline constexpr Text kReductionAborted{"Emissão de Redução Abortada!"_cp, C::aborted};
inline constexpr Text kFileNotWritten{"Arquivo "_cp, C::configuration};
inline constexpr Text kFileUnread{"Não foi possível ler o arquivo "_cp, C::configuration};
inline constexpr Text kInternalError{"Erro interno na biblioteca KALPO"_cp, C::library_error};

// The makers' answers as the library words them.
inline constexpr Text kUnreadableAnswer{"Não foi possível ler a resposta da impressora: \""_cp, C::communication};
inline constexpr Text kNak{"Atenção!!!\r\nA Impressora retornou NAK."_cp, C::communication};
inline constexpr Text kNotExecuted{"Comando não executado!"_cp, C::not_executed};
inline constexpr Text kNotExecutedCheck{"Comando não executado!\r\nFavor verificar a ECF!"_cp, C::not_executed};
inline constexpr Text kPrinterErrorNumber{"Erro na ECF nº :"_cp, C::printer_error, Follows::number_and_text};
inline constexpr Text kUnknownError{"Desconhecido"_cp, C::printer_error};
inline constexpr Text kInvalidPort{"Porta de comunicação inválida em PORTACOM: \""_cp, C::configuration};
inline constexpr Text kNoCommunication{"Erro de comunicação. Verifique a Impressora!"_cp, C::printer_off};
inline constexpr Text kUnmappedFieldError{"Erro não mapeado."_cp, C::invalid_parameter};
inline constexpr Text kUnmappedPort{"Erro interno da biblioteca."_cp, C::printer_off};
inline constexpr Text kUnknownResult{"Erro desconhecido"_cp, C::printer_error};
inline constexpr Text kDriverStart{"erro: "_cp, C::printer_off};
inline constexpr Text kDriverError{"Erro "_cp, C::printer_error, Follows::driver_number};
inline constexpr Text kDriverErrorText{"Erro 1: "_cp, C::printer_error, Follows::number_and_text};
inline constexpr Text kDriverErrorNumber{"Erro 2: "_cp, C::printer_error, Follows::driver_number};

// Epson's status words, one part per condition, the first one decides.
inline constexpr Text kOffline{"Impressora(Offline) - "_cp, C::printer_off};
inline constexpr Text kPrintError{"Erro de impressão - "_cp, C::printer_error};
inline constexpr Text kCoverOpen{"Tampa superior aberta - "_cp, C::paper_end};
inline constexpr Text kNoPaper{"Sem papel - "_cp, C::paper_end};
inline constexpr Text kBlocked{"Modo bloqueado - "_cp, C::intervention};
inline constexpr Text kIntervention{"Modo de Intervenção Técnica - "_cp, C::intervention};
inline constexpr Text kFiscalMemoryError{"Erro de leitura/escrita da Memória Fiscal - "_cp, C::fiscal_memory};
inline constexpr Text kFiscalMemoryFull{"Memória Fiscal cheia - "_cp, C::fiscal_memory};
inline constexpr Text kFiscalMemoryEnding{"Memória Fiscal em esgotamento - "_cp, C::fiscal_memory};
inline constexpr Text kSalesClosed{"Período de vendas fechado - "_cp, C::day_not_open};

// Every text above.
std::span<const Text *const> all();

}  // namespace kalpo::frame::own
