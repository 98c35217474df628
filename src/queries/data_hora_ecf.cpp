// The printer's date and time.
#include "makers/analysis.h"
#include "frame/operations.h"
#include "frame/answer_buffer.h"
#include "vendor/vendor.h"

namespace kalpo::ops {
namespace {

// Both answers are handed back whatever the analysis says.
bool bematech(Model model, OutText data, OutText hora) {
  AnswerBuffer date(6), time(6);
  bool ok = analysis::analisa_iretorno(model, vendor::api().Bematech_FI_DataHoraImpressora(date.data(), time.data()));
  data.set(date.text());
  hora.set(time.text());
  return ok;
}

}  // namespace

bool data_hora_ecf(Model model, OutText data, OutText hora) {
  if (is_bematech(model)) return bematech(model, data, hora);
  return usual_preset(model);
}

}  // namespace kalpo::ops
