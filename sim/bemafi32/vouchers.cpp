// BEMAFI32: the linked voucher and the management report.
#include "bemafi32/library.h"

using bemafi32::at;

BEMA_EXPORT Bematech_FI_AbreComprovanteNaoFiscalVinculado(const char *forma, const char *valor, const char *coo) {
  return bema::open_voucher(at(__func__), forma, valor, coo);
}

BEMA_EXPORT Bematech_FI_UsaComprovanteNaoFiscalVinculado(const char *texto) {
  return bema::print_text(at(__func__), texto);
}

BEMA_EXPORT Bematech_FI_FechaComprovanteNaoFiscalVinculado() { return bema::close_voucher(at(__func__)); }

// The first text opens the report; later texts go on printing in it.
BEMA_EXPORT Bematech_FI_RelatorioGerencial(const char *texto) {
  return bema::command(bemafi32::kLibrary, __func__, [&](ksim::Session &session, bool) -> bema::Result {
    if (session.state().open != ksim::Document::report) {
      ksim::Outcome opened = session.open_report();
      if (opened != ksim::Outcome::ok) return opened;
    }
    return bema::print_lines(session, common::text(texto));
  });
}

BEMA_EXPORT Bematech_FI_FechaRelatorioGerencial() {
  return bema::command(bemafi32::kLibrary, __func__,
                       [](ksim::Session &session, bool) -> bema::Result { return session.close_report(); });
}
