// Bematech and Sweda: the maker's return code and the printer's status bytes.
// Only code 1 is success; then the status decides.  Every condition the code
// or the status carries is told to the operator.
#include <cstdint>
#include <string_view>

#include "base/cp1252.h"
#include "frame/messages.h"
#include "frame/model.h"
#include "frame/own_texts.h"
#include "makers/analysis.h"
#include "makers/code_texts.h"
#include "makers/status_bits.h"
#include "seam/seam.h"

namespace kalpo::makers {
namespace {

constexpr int32_t kAck = 6;
constexpr int32_t kNak = 21;

struct Status {
  int32_t ack = 0, st1 = 0, st2 = 0;
};

Status bematech_status() {
  Status s;
  seam::api().Bematech_FI_RetornoImpressora(&s.ack, &s.st1, &s.st2);
  return s;
}

// The fourth byte is received and never examined.
Status sweda_status() {
  Status s;
  int32_t st3 = 0;
  seam::api().ECF_RetornoImpressoraMFD(&s.ack, &s.st1, &s.st2, &st3);
  return s;
}

// Models without a status call read as all zero.
Status printer_status(Model model) {
  if (is_bematech(model)) return bematech_status();
  if (model == Model::Sweda7000) return sweda_status();
  return {};
}

// One box per set bit, highest bit of ST1 first; leaves only bit 0 in ST2.
void report_status_bits(Status &status) {
  take_status_bits(status.st1, status.st2, [](const StatusBit &bit) {
    if (bit.text.empty()) return;
    msg::release_input();
    msg::box(bit.text, kAttentionCaption.text, kAttentionCaption.flags);
  });
}

void report_return_code(int32_t code) {
  for (const ReturnCode &row : tables::bematech_returns()) {
    if (row.code != code) continue;
    msg::release_input();
    msg::box(row.text, row.caption.text, row.caption.flags);
    return;
  }
}

}  // namespace

bool retorna_impressora(Model model) {
  Status status = printer_status(model);
  if (status.ack == kAck) {
    report_status_bits(status);
  } else if (status.ack == kNak) {
    msg::release_input();
    msg::notice(own::kNak.text);
    return false;
  }
  return status.st2 == 0;
}

bool analisa_iretorno(Model model, int32_t code) {
  const bool ok = code == 1 && retorna_impressora(model);
  if (!ok) {
    msg::release_input();
    msg::info(own::kNotExecutedCheck.text);
  }
  report_return_code(code);
  return ok;
}

}  // namespace kalpo::makers
