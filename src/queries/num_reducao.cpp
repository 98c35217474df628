// The Z-reduction counter, read from the report file that the Bematech
// library writes for the master type-60 report.
#include <string>
#include <string_view>

#include "base/ascii.h"
#include "base/cp1252.h"
#include "frame/answer_buffer.h"
#include "frame/messages.h"
#include "frame/own_texts.h"
#include "makers/analysis.h"
#include "platform/platform.h"
#include "queries/queries.h"
#include "seam/seam.h"

namespace kalpo::queries {
namespace {

constexpr std::string_view kReportFile = "C:\\RETORNO.TXT";

// The counter of the last line that starts with "Contador": its characters
// 49 to 52; empty when no line does.  Lines end at CR LF or LF.
std::string reduction_counter(std::string_view report) {
  std::string counter;
  while (!report.empty()) {
    std::size_t end = report.find('\n');
    std::string_view line = report.substr(0, end);
    report = end == std::string_view::npos ? std::string_view() : report.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.starts_with("Contador")) counter = base::ascii::characters(line, 49, 52);
  }
  return counter;
}

// The report file is read whatever the analysis says; without it nothing is
// handed back.
bool bematech(Model model, OutText contador) {
  bool ok = makers::analisa_iretorno(model, seam::api().Bematech_FI_RelatorioTipo60Mestre());
  std::string report;
  if (!platform::get().read_file(kReportFile, report)) {
    msg::notice(std::string(own::kFileUnread.text) + std::string(kReportFile));
    return false;
  }
  contador.set(reduction_counter(report));
  return ok;
}

}  // namespace

bool num_reducao(Model model, OutText contador) {
  if (is_bematech(model)) return bematech(model, contador);
  return usual_preset(model);
}

}  // namespace kalpo::queries
