#include "status_bytes.h"

#include <nlohmann/json.hpp>

namespace kt {
namespace {

const char *const kStatusCalls[] = {"Bematech_FI_RetornoImpressora", "Bematech_FI_VerificaEstadoImpressora",
                                    "ECF_RetornoImpressoraMFD"};

struct Bit {
  int value;
  const char *meaning;  // the operator's message, or what the bit does when it has none
};

// Highest bit first, as KALPO tests them.
const Bit kSt1[] = {{128, "Fim do Papel!"},
                    {64, "no message"},
                    {32, "Erro no relógio"},
                    {16, "Impressora em erro"},
                    {8, "Comando não iniciado com <ESC>"},
                    {4, "Comando inexistente!"},
                    {2, "Cupom aberto!"},
                    {1, "Número de parâmetros inválido!"}};
const Bit kSt2[] = {{128, "Tipo de parâmetros inválido!"},
                    {64, "Memória fiscal Lotada!"},
                    {32, "CMOS não volátil!"},
                    {16, "Alíquota não programada!"},
                    {8, "Alíquotas lotadas!"},
                    {4, "Cancelamento não permitido!"},
                    {2, "CGC/IE não programadas!"},
                    {1, "not executed"}};

std::string bits(const char *name, int value, const Bit (&table)[8]) {
  std::string out;
  for (const Bit &bit : table)
    if (value & bit.value) out += std::string("; ") + name + " " + std::to_string(bit.value) + ": " + bit.meaning;
  return out;
}

// The value handed out through an out argument ({"out": 6}), or -1.
int out_value(const nlohmann::json &arg) {
  return arg.is_object() && arg.contains("out") && arg["out"].is_number_integer() ? arg["out"].get<int>() : -1;
}

}  // namespace

std::optional<std::string> status_meaning(const std::string &function, const nlohmann::json &args) {
  bool status_call = false;
  for (const char *name : kStatusCalls) status_call = status_call || function == name;
  if (!status_call || !args.is_array() || args.size() < 3) return std::nullopt;
  const int ack = out_value(args[0]), st1 = out_value(args[1]), st2 = out_value(args[2]);
  if (ack < 0 || st1 < 0 || st2 < 0) return std::nullopt;
  std::string out = ack == 6 ? "ACK" : ack == 21 ? "NAK: refused" : "no acknowledgement";
  out += bits("ST1", st1, kSt1) + bits("ST2", st2, kSt2);
  return out;
}

}  // namespace kt
