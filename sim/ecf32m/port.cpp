// The port, the return text and the printer's values asked by number.
#include "ecf32m/answer.h"

namespace {

// The value of parameter `number` as the printer writes it; empty when the
// printer has no such parameter.
std::string parameter(const ksim::State &state, std::int64_t number) {
  using common::padded;
  switch (number) {
    case 41: return padded(state.coo, 6);
    case 42: return padded(state.ccf, 6);
    case 43: return padded(state.crz, 4);
    case 44: return padded(std::uint64_t(state.grand_total), 18);
    case 47: return state.identity.firmware;
    case 48: return padded(state.cro, 4);
    case 49: return state.identity.serial;
    default: return {};
  }
}

}  // namespace

extern "C" KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL OpenCif() { return ecf32m::open_port(); }

extern "C" KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL CloseCif() {
  ecf32m::close_port();
  return ecf32m::done;
}

extern "C" KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL ObtemRetorno(char *retorno) {
  return ecf32m::fetch(retorno);
}

// Answers "Pnn:" and the value: a counter alone ("P41:000002"), a text
// (firmware, serial number) followed by " COMANDO OK".
extern "C" KALPO_MAKER_IMPORT std::int32_t KALPO_MAKER_CALL EcfPar(const char *codigo) {
  return ecf32m::run(
      "EcfPar",
      [&](ksim::Session &s) {
        const std::string_view code = common::text(codigo);
        const common::Number number = common::digits(code, 2);
        if (!number.ok()) return ecf32m::refuse(ecf32m::field_error(number));
        const std::string value = parameter(s.state(), number.value);
        if (value.empty()) return ecf32m::refuse(ecf32m::syntax);
        const bool text_value = number.value == 47 || number.value == 49;
        return ecf32m::Reply{-1, "P" + std::string(code) + ":" + value + (text_value ? " COMANDO OK" : ""), false};
      },
      ksim::Call::query);
}
