// Running a command and reading what it answered.
#define KALPO_MAKER_DEFINE
#include "seam/maker_import.h"

#include <algorithm>
#include <cstring>

#include "dllg2/driver.h"

using namespace dllg2;

extern "C" KALPO_MAKER_IMPORT int32_t KALPO_MAKER_CALL DLLG2_ExecutaComando(int32_t handle, const char *comando) {
  return with_instance(handle, not_answered, not_answered, [&](Drivers &d, Instance &instance) -> int32_t {
    return execute(d, handle, instance, comando ? comando : "");
  });
}

extern "C" KALPO_MAKER_IMPORT int32_t KALPO_MAKER_CALL DLLG2_ObtemCodErro(int32_t handle) {
  return with_instance(handle, no_instance, no_instance,
                       [](Drivers &, Instance &instance) -> int32_t { return static_cast<int32_t>(instance.error); });
}

// Copies the named returned value of the last command, NUL-terminated and
// cut to fit `tamanho` bytes; answers the characters copied.  Values are not
// indexed: an index other than 0 names none.
extern "C" KALPO_MAKER_IMPORT int32_t KALPO_MAKER_CALL DLLG2_Retorno(int32_t handle, int32_t indice, const char *nome,
                                                                     int32_t tipo, char *buffer, int32_t tamanho) {
  (void)tipo;  // the value is always handed out as text
  return with_instance(handle, no_instance, bad_argument, [&](Drivers &, Instance &instance) -> int32_t {
    if (!nome || !buffer || tamanho <= 0) return bad_argument;
    const auto found =
        std::find_if(instance.returns.begin(), instance.returns.end(), [&](const Return &r) { return r.name == nome; });
    if (indice != 0 || found == instance.returns.end()) return not_found;
    const auto size = std::min<std::size_t>(found->value.size(), static_cast<std::size_t>(tamanho) - 1);
    std::memcpy(buffer, found->value.data(), size);
    buffer[size] = '\0';
    return static_cast<int32_t>(size);
  });
}

// The returned values of the last command as Name="value" pairs joined by
// ';' (only `filtro` when it names one); valid until the next call on the
// handle.
extern "C" KALPO_MAKER_IMPORT const char *KALPO_MAKER_CALL DLLG2_ObtemRetornos(int32_t handle, const char *filtro,
                                                                               int32_t opcoes) {
  (void)opcoes;
  static const char nothing[] = "";
  return with_instance<const char *>(handle, nothing, nothing, [&](Drivers &, Instance &instance) {
    instance.returns_text = returns_text(instance.returns, filtro ? filtro : "");
    return instance.returns_text.c_str();
  });
}
