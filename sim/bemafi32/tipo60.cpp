// BEMAFI32: the master type-60 report, written to "C:\RETORNO.TXT".
#include <filesystem>

#include "bemafi32/library.h"

namespace {

using common::padded;
using ksim::Outcome;

constexpr std::size_t kLabelWidth = 46;  // the value starts at column 49, after ": "

std::string line(std::string label, const std::string &value) {
  label.resize(kLabelWidth, '.');
  return label + ": " + value + "\r\n";
}

// The last reduction's figures and the counters as they stand.  The one line
// that begins with "Contador" holds the reduction counter (CRZ) in columns
// 49 to 52.
std::string report(const ksim::State &state) {
  ksim::Reduction last;
  std::uint32_t first_coo = 1;
  if (!state.fiscal_memory.empty()) last = state.fiscal_memory.back();
  if (state.fiscal_memory.size() > 1) first_coo = state.fiscal_memory[state.fiscal_memory.size() - 2].coo + 1;
  std::string text = "RELATORIO TIPO 60 MESTRE\r\n";
  text += line("Data da ultima reducao", common::slashed_date(last.date, ""));
  text += line("Numero de serie do equipamento", state.identity.serial);
  text += line("Modelo do documento fiscal", "2D");
  text += line("COO inicial do dia", padded(state.fiscal_memory.empty() ? 0 : first_coo, 6));
  text += line("COO final do dia", padded(last.coo, 6));
  text += line("Contador de reducoes Z", padded(state.crz, 4));
  text += line("Reinicio de operacao (CRO)", padded(state.cro, 4));
  text += line("Venda bruta diaria", padded(last.gross, 14));
  text += line("Cancelamentos", padded(last.cancellations, 14));
  text += line("Descontos", padded(last.discounts, 14));
  text += line("Grande total", padded(last.grand_total, 18));
  for (const auto &[rate, total] : last.per_rate) text += line("Totalizador " + rate, padded(total, 14));
  return text;
}

// Whole or not at all, never through a link, owner-only.
bool write(const std::string &path, const std::string &text) {
  ksim::make_folders(std::filesystem::path(path).parent_path().string());
  return ksim::write_caller_file(path, text);
}

}  // namespace

BEMA_EXPORT Bematech_FI_RelatorioTipo60Mestre() {
  return bema::query(bemafi32::kLibrary, __func__, [](ksim::Session &session, bool unreadable) -> bema::Result {
    std::string text = report(session.state());
    if (unreadable) text = common::garbled(text);
    if (!write(ksim::windows_path("C:\\RETORNO.TXT"), text)) return bema::Result::library_code(bema::kFileWrite);
    return Outcome::ok;
  });
}
