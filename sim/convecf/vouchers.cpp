// CONVECF: the linked voucher.
#include "convecf/library.h"

using convecf::at;

BEMA_EXPORT ECF_AbreComprovanteNaoFiscalVinculado(const char *forma, const char *valor, const char *coo) {
  return bema::open_voucher(at(__func__), forma, valor, coo);
}

BEMA_EXPORT ECF_UsaComprovanteNaoFiscalVinculado(const char *texto) { return bema::print_text(at(__func__), texto); }

BEMA_EXPORT ECF_FechaComprovanteNaoFiscalVinculado() { return bema::close_voucher(at(__func__)); }
