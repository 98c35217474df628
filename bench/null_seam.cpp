#include "null_seam.h"

#include <cstring>
#include <tuple>
#include <type_traits>

namespace kalpo::bench {
namespace {

std::uint64_t calls = 0;

// Success for a plain call: `ok` for an integer, an empty text for a text.
template <typename R, int32_t ok = 1>
R success() {
  ++calls;
  if constexpr (std::is_pointer_v<R>) {
    return "";
  } else {
    return ok;
  }
}

// Most libraries answer 1 for success; ecf32m and interfaceepson 0.
#define KALPO_NULL_ONE(ret, name, params, args)    \
  ret null_##name params {                         \
    static_cast<void>(std::forward_as_tuple args); \
    return success<ret>();                         \
  }
#define KALPO_NULL_ZERO(ret, name, params, args)   \
  ret null_##name params {                         \
    static_cast<void>(std::forward_as_tuple args); \
    return success<ret, 0>();                      \
  }
#define KALPO_BEMAFI32 KALPO_NULL_ONE
#define KALPO_CONVECF KALPO_NULL_ONE
#define KALPO_FS345 KALPO_NULL_ONE
#define KALPO_DARUMA32 KALPO_NULL_ONE
#define KALPO_ECF32M KALPO_NULL_ZERO
#define KALPO_DLLG2 KALPO_NULL_ONE
#define KALPO_DLLG2_GERADOR KALPO_NULL_ONE
#define KALPO_EPSON KALPO_NULL_ZERO
#include "seam/maker_list.h"
#undef KALPO_NULL_ONE
#undef KALPO_NULL_ZERO

// Status bytes: acknowledged, nothing set.
int32_t ack_status(int32_t *ack, int32_t *st1, int32_t *st2) {
  ++calls;
  *ack = 6;
  *st1 = *st2 = 0;
  return 1;
}

int32_t bematech_status(int32_t *ack, int32_t *st1, int32_t *st2) { return ack_status(ack, st1, st2); }
int32_t sweda_status(int32_t *ack, int32_t *st1, int32_t *st2, int32_t *st3) {
  *st3 = 0;
  return ack_status(ack, st1, st2);
}
int32_t daruma_status(int32_t *ack, int32_t *st1, int32_t *st2) { return ack_status(ack, st1, st2); }

int32_t write_text(char *buffer, const char *text, int32_t result) {
  ++calls;
  std::memcpy(buffer, text, std::strlen(text) + 1);
  return result;
}

// Daruma: extended error 0.
int32_t daruma_extended_error(char *erro) { return write_text(erro, "0000", 1); }
// Sigtron: an answer of six characters without an error mark.
int32_t sigtron_answer(char *resposta, int32_t) { return write_text(resposta, ".+0000", 6); }
// ecf32m: return 0, and the length-prefixed "COMANDO OK".
int32_t ecf32m_answer(char *retorno) {
  return write_text(retorno,
                    "\x0a"
                    "COMANDO OK",
                    0);
}
// Command driver: error code 0, read-backs "1", the values with a date.
int32_t dllg2_no_error(int32_t) { return success<int32_t, 0>(); }
int32_t dllg2_read_back(int32_t, int32_t, const char *, int32_t, char *buffer, int32_t) {
  return write_text(buffer, "1", 1);
}
const char *dllg2_values(int32_t, const char *, int32_t) {
  ++calls;
  return "Retorno=OK;07/12/2026";
}
// Epson: a state with nothing to report (fiscal mode, sales period open).
int32_t epson_state(char *estado) { return write_text(estado, "00000000000080800000", 0); }

seam::Api make_table() {
  seam::Api api{};
#define KALPO_NULL_SLOT(ret, name, params, args) api.name = &null_##name;
#define KALPO_MAKER_EACH KALPO_NULL_SLOT
#include "seam/maker_list.h"
#undef KALPO_NULL_SLOT
  api.Bematech_FI_RetornoImpressora = &bematech_status;
  api.Bematech_FI_VerificaEstadoImpressora = &bematech_status;
  api.ECF_RetornoImpressoraMFD = &sweda_status;
  api.Daruma_FI_RetornoImpressora = &daruma_status;
  api.Daruma_FI_RetornaErroExtendido = &daruma_extended_error;
  api.DAR_Resposta = &sigtron_answer;
  api.ObtemRetorno = &ecf32m_answer;
  api.DLLG2_ObtemCodErro = &dllg2_no_error;
  api.DLLG2_Retorno = &dllg2_read_back;
  api.DLLG2_ObtemRetornos = &dllg2_values;
  api.EPSON_Obter_Estado_Impressora = &epson_state;
  return api;
}

}  // namespace

const seam::Api &null_api() {
  static const seam::Api table = make_table();
  return table;
}

std::uint64_t null_calls() { return calls; }

}  // namespace kalpo::bench
