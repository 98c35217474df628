// The status bytes of the Bematech and Sweda status calls: the bits KALPO
// tests, in the order it tests them, and the operator's message of each
// (Windows-1252).  The one table of the library and the kalpo tool.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/cp1252.h"

namespace kalpo::makers {

enum class StatusByte { St1, St2 };

struct StatusBit {
  StatusByte byte;
  int32_t value;
  std::string_view text;  // empty: the bit is cleared without a message
};

// Bit 0 of ST2 has no message: what is left of ST2 afterwards decides the
// result.
inline constexpr StatusBit kStatusBits[] = {
    {StatusByte::St1, 128, "Fim do Papel!"_cp},
    {StatusByte::St1, 64, {}},
    {StatusByte::St1, 32, "Erro no relógio"_cp},
    {StatusByte::St1, 16, "Impressora em erro"_cp},
    {StatusByte::St1, 8, "Comando não iniciado com <ESC>"_cp},
    {StatusByte::St1, 4, "Comando inexistente!"_cp},
    {StatusByte::St1, 2, "Cupom aberto!"_cp},
    {StatusByte::St1, 1, "Número de parâmetros inválido!"_cp},
    {StatusByte::St2, 128, "Tipo de parâmetros inválido!"_cp},
    {StatusByte::St2, 64, "Memória fiscal Lotada!"_cp},
    {StatusByte::St2, 32, "CMOS não volátil!"_cp},
    {StatusByte::St2, 16, "Alíquota não programada!"_cp},
    {StatusByte::St2, 8, "Alíquotas lotadas!"_cp},
    {StatusByte::St2, 4, "Cancelamento não permitido!"_cp},
    {StatusByte::St2, 2, "CGC/IE não programadas!"_cp},
};

// Takes the bits out of ST1 and ST2 as the library tests them, highest of
// ST1 first: each bit whose value what is left of its byte reaches is
// subtracted and handed to `take`.
template <class Take>
constexpr void take_status_bits(int32_t &st1, int32_t &st2, Take take) {
  for (const StatusBit &bit : kStatusBits) {
    int32_t &remaining = bit.byte == StatusByte::St1 ? st1 : st2;
    if (remaining < bit.value) continue;
    remaining -= bit.value;
    take(bit);
  }
}

}  // namespace kalpo::makers
