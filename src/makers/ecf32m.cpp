// ecf32m: the integer codes of its calls, and the return text that the
// printer sends after a command.
#include <array>
#include <cstring>
#include <string>

#include "base/cp1252.h"
#include "frame/messages.h"
#include "makers/analysis.h"
#include "makers/code_texts.h"
#include "platform/platform.h"
#include "seam/seam.h"

namespace kalpo::makers {
namespace {

constexpr int32_t kNotYet = -97;              // the printer has not answered yet
constexpr uint32_t kPollInterval = 1000;      // ms between polls
constexpr uint64_t kPollLimit = 30000;        // ms before giving up on the answer
constexpr std::size_t kReturnCapacity = 255;  // characters after the length byte

}  // namespace

bool analisa_ret_ecf32m(int32_t code) {
  if (code == 0) return true;
  if (auto text = find_text(tables::ecf32m_returns(), code)) msg::notice(*text);
  return false;
}

// ObtemRetorno fills a length-prefixed text: one length byte, then up to 255
// characters.  A printer that keeps answering "not yet" is polled once a
// second for at most 30 seconds; its last code is then delivered as text.
std::string obtem_ret_ecf32m() {
  constexpr std::string_view kPreset = "Sem retorno";
  std::array<char, 1 + kReturnCapacity + 1> buffer{};
  buffer[0] = static_cast<char>(kPreset.size());
  std::memcpy(buffer.data() + 1, kPreset.data(), kPreset.size());

  platform::Platform &host = platform::get();
  const uint64_t start = host.ticks_ms();
  int32_t code = seam::api().ObtemRetorno(buffer.data());
  while (code == kNotYet && host.ticks_ms() - start < kPollLimit) {
    host.sleep_ms(kPollInterval);
    code = seam::api().ObtemRetorno(buffer.data());
  }

  if (code < -90) return std::to_string(code);
  std::size_t length = static_cast<unsigned char>(buffer[0]);
  return std::string(buffer.data() + 1, length);
}

}  // namespace kalpo::makers
