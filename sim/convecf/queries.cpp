// CONVECF: identification and the coupon number.
#include "convecf/library.h"

using convecf::at;

BEMA_EXPORT ECF_NumeroCupom(char *numero) { return bema::coupon_number(at(__func__), numero); }

BEMA_EXPORT ECF_NumeroSerie(char *numero) { return bema::serial_number(at(__func__), numero, 30); }

BEMA_EXPORT ECF_VersaoFirmware(char *versao) { return bema::firmware(at(__func__), versao, 10); }
