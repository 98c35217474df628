#include "base/ascii.h"
#include "makers/analysis.h"
#include "makers/sessions.h"
#include "reports/reports.h"
#include "seam/seam.h"

namespace kalpo::reports {
namespace {

// dd/mm/yyyy as ddmmyy.
std::string short_date(const std::string &date) {
  return base::ascii::characters(date, 1, 2) + base::ascii::characters(date, 4, 5) +
         base::ascii::characters(date, 9, 10);
}

bool bematech_by_date(Model model, const std::string &inicio, const std::string &fim) {
  return makers::analisa_iretorno(model, seam::api().Bematech_FI_LeituraMemoriaFiscalData(inicio.c_str(), fim.c_str()));
}

bool bematech_by_reduction(Model model, const std::string &inicio, const std::string &fim) {
  return makers::analisa_iretorno(model,
                                  seam::api().Bematech_FI_LeituraMemoriaFiscalReducao(inicio.c_str(), fim.c_str()));
}

bool digiarte_by_date(const std::string &inicio, const std::string &fim) {
  std::string first = short_date(inicio), last = short_date(fim);
  return makers::digiarte_session([&] {
    seam::api().LeMemFiscalData(first.c_str(), last.c_str(), "1");
    return makers::digiarte_judge_answer();
  });
}

bool digiarte_by_reduction(const std::string &inicio, const std::string &fim) {
  return makers::digiarte_session([&] {
    seam::api().LeMemFiscalReducao(inicio.c_str(), fim.c_str(), "1");
    return makers::digiarte_judge_answer();
  });
}

}  // namespace

// Kind "D" reads a range of dates, "N" a range of reduction numbers.
bool leitura_mem_fiscal(Model model, const std::string &inicio, const std::string &fim, const std::string &tipo) {
  if (tipo == "D") {
    if (is_bematech(model)) return bematech_by_date(model, inicio, fim);
    if (model == Model::Digiarte1E) return digiarte_by_date(inicio, fim);
  } else if (tipo == "N") {
    if (is_bematech(model)) return bematech_by_reduction(model, inicio, fim);
    if (model == Model::Digiarte1E) return digiarte_by_reduction(inicio, fim);
  }
  return usual_preset(model);
}

}  // namespace kalpo::reports
