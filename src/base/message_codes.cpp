#include "base/message_codes.h"

#include <string>

namespace kalpo::base {
namespace {

constexpr MessageCode kCodes[] = {
    {"paper_low", "the paper is running out"},
    {"paper_end", "the paper ran out, or the paper or its cover is in the way"},
    {"printer_off", "the printer does not answer: off, disconnected, or its port cannot be opened"},
    {"coupon_open", "a coupon or document is open, and the command is not taken while it is"},
    {"coupon_closed", "no coupon or document is open, and the command needs one"},
    {"reduction_due", "a Z reduction is due before the printer sells again"},
    {"day_closed", "the day's Z reduction is done already: no more sales today"},
    {"fiscal_memory", "the fiscal memory is full, or failed"},
    {"clock", "the printer's clock, date or time is wrong, or refuses the change"},
    {"tax_rate", "a tax rate is not programmed, or the rates are full"},
    {"payment", "a form of payment is unknown or not programmed"},
    {"cancel_refused", "the cancellation is not allowed"},
    {"invalid_command", "the printer does not know the command, or not in this state"},
    {"invalid_parameter", "an argument is wrong: its kind, count, range or text"},
    {"configuration", "a configuration or data file is missing or unreadable"},
    {"printer_error", "the printer reports an error of its own"},
    {"question", "a question to the operator"},
    {"other", "any other message"},
};

struct Rule {
  std::string_view fragment;  // lower case, accents dropped
  std::string_view code;
};

// The first rule whose fragment the text holds decides: the narrower ones
// come first.
constexpr Rule kRules[] = {
    {"pouco papel", "paper_low"},
    {"proximidade", "paper_low"},
    {"near end", "paper_low"},
    {"papel", "paper_end"},
    {"bobina", "paper_end"},
    {"paper", "paper_end"},
    {"tampa", "paper_end"},
    {"deslig", "printer_off"},
    {"desconect", "printer_off"},
    {"comunica", "printer_off"},
    {"nao responde", "printer_off"},
    {"time out", "printer_off"},
    {"timeout", "printer_off"},
    {"porta ", "printer_off"},
    {"nak", "printer_off"},
    {"offline", "printer_off"},
    {"nao esta pronta", "printer_off"},
    {"reducao z ja", "day_closed"},
    {"dia ja fechado", "day_closed"},
    {"jornada fiscal deve ser fechada", "reduction_due"},
    {"ja realizado", "day_closed"},
    {"ja foi emitida", "day_closed"},
    {"reducao z", "reduction_due"},
    {"memoria fiscal", "fiscal_memory"},
    {"cupom aberto", "coupon_open"},
    {"ja aberto", "coupon_open"},
    {"durante cupom", "coupon_open"},
    {"cupom fiscal aberto", "coupon_open"},
    {"documento aberto", "coupon_open"},
    {"em andamento", "coupon_open"},
    {"necessario abrir", "coupon_closed"},
    {"nao foi aberto", "coupon_closed"},
    {"nao aberto", "coupon_closed"},
    {"nao ha cupom", "coupon_closed"},
    {"cupom fechado", "coupon_closed"},
    {"relogio", "clock"},
    {"data ", "clock"},
    {"data.", "clock"},
    {"data!", "clock"},
    {"hora", "clock"},
    {"aliquota", "tax_rate"},
    {"pagamento", "payment"},
    {"cancela", "cancel_refused"},
    {"comando", "invalid_command"},
    {"parametro", "invalid_parameter"},
    {"invalid", "invalid_parameter"},
    {"fora de faixa", "invalid_parameter"},
    {"fora da faixa", "invalid_parameter"},
    {"campo", "invalid_parameter"},
    {"excesso", "invalid_parameter"},
    {"nao encontrad", "invalid_parameter"},
    {"nao permitid", "invalid_command"},
    {"nao numerico", "invalid_parameter"},
    {".ini", "configuration"},
    {"arquivo", "configuration"},
    {"erro", "printer_error"},
    {"falha", "printer_error"},
    {"problema", "printer_error"},
    {"?", "question"},
};

// Lower case with the accents of Windows-1252's Portuguese letters dropped.
std::string folded(std::string_view text) {
  static constexpr std::string_view kFrom =
      "\xC0\xC1\xC2\xC3\xC7\xC9\xCA\xCD\xD3\xD4\xD5\xDA\xE0\xE1\xE2\xE3\xE7\xE9"
      "\xEA\xED\xF3\xF4\xF5\xFA";
  static constexpr std::string_view kTo = "aaaaceeiooouaaaaceeiooou";
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    const std::size_t at = kFrom.find(c);
    if (at != std::string_view::npos)
      c = kTo[at];
    else if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
    out += c;
  }
  return out;
}

}  // namespace

std::span<const MessageCode> message_codes() { return kCodes; }

std::string_view message_code(std::string_view text) {
  const std::string plain = folded(text);
  for (const Rule &rule : kRules)
    if (plain.find(rule.fragment) != std::string::npos) return rule.code;
  return "other";
}

}  // namespace kalpo::base
