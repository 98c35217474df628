#include "makers/dllg2_commands.h"
#include "frame/own_texts.h"

#include <array>
#include <cstring>

#include "frame/messages.h"
#include "frame/state.h"
#include "makers/analysis.h"
#include "seam/seam.h"

namespace kalpo::makers::dllg2 {

int32_t execute(int32_t handle, const char *command, std::initializer_list<Param> params) {
  const seam::Api &v = seam::api();
  v.DLLG2_LimpaParams(handle);
  for (const Param &p : params) {
    const char *value = p.empty == EmptyValue::NullPointer && p.value.empty() ? nullptr : p.value.c_str();
    v.DLLG2_AdicionaParam(handle, p.name, value, p.type);
  }
  return v.DLLG2_ExecutaComando(handle, command);
}

int32_t error_code(int32_t handle) { return seam::api().DLLG2_ObtemCodErro(handle); }

std::string error_text(int32_t code) {
  std::string text;
  if (!texto_erro_dllg2(code, text) || text.empty()) text = std::string(own::kDriverError.text) + std::to_string(code);
  return text;
}

void show_error_text(int32_t code) { msg::notice(error_text(code)); }

void show_error_number(int32_t code) { msg::notice(std::to_string(code)); }

bool judge_showing_code_number(int32_t handle, int32_t answer) {
  int32_t code = error_code(handle);
  if (answer <= 0) {
    show_error_number(code);
    return false;
  }
  if (code != 0) {
    show_error_text(code);
    return false;
  }
  return true;
}

bool judge_showing_negative_answer(int32_t handle, int32_t answer) {
  if (answer < 0) {
    show_error_text(answer);
    return false;
  }
  int32_t code = error_code(handle);
  if (answer == 0 || code != 0) {
    show_error_text(code);
    return false;
  }
  return true;
}

bool judge_showing_code_text(int32_t handle, int32_t answer) {
  int32_t code = error_code(handle);
  if (answer <= 0 || code != 0) {
    show_error_text(code);
    return false;
  }
  return true;
}

std::optional<std::string> read_text_register(int32_t handle, const char *register_name) {
  int32_t answer = execute(handle, "LeTexto", {{"NomeTexto", register_name, kText}});
  if (!judge_showing_code_number(handle, answer)) return std::nullopt;
  return read_back(handle, "ValorTexto");
}

void clear_read_back() { state().sRetornoDllG2.assign(50, ' '); }

const std::string &read_back(int32_t handle, const char *value_name) {
  std::string &target = state().sRetornoDllG2;
  std::array<char, 51> buffer{};
  std::memset(buffer.data(), ' ', 50);
  std::memcpy(buffer.data(), target.data(), std::min<std::size_t>(target.size(), 50));
  seam::api().DLLG2_Retorno(handle, 0, value_name, 4000, buffer.data(), 50);
  buffer[50] = '\0';
  target.assign(buffer.data(), strnlen(buffer.data(), 50));
  return target;
}

}  // namespace kalpo::makers::dllg2
