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
#include "frame/own_texts.h"
#include "makers/analysis.h"
#include "makers/code_texts.h"
#include "seam/seam.h"

namespace kalpo::makers {
namespace {

constexpr std::size_t kBufferSize = 100;     // the caller's buffer holds at least this
constexpr int32_t kAnswerLimit = 99;         // characters the library may copy
constexpr int64_t kErrorOffset = 536870912;  // added by DAR_Erro to the error number
constexpr std::size_t kQuotedLength = 70;    // answer characters quoted in the notice

std::string_view error_text(int64_t number) {
  if (number < INT32_MIN || number > INT32_MAX) return own::kUnknownError.text;
  return find_text(tables::sigtron_errors(), static_cast<int32_t>(number)).value_or(own::kUnknownError.text);
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
  msg::notice(std::string(own::kPrinterErrorNumber.text) + std::to_string(error) + "\r\n" +
              std::string(error_text(error)) + "[ " + text.substr(0, kQuotedLength) + " ]");
  return false;
}

}  // namespace kalpo::makers
