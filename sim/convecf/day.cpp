// CONVECF: the X reading and the Z reduction.
#include "convecf/library.h"

using convecf::at;

BEMA_EXPORT ECF_LeituraX() { return bema::x_reading(at(__func__)); }

BEMA_EXPORT ECF_ReducaoZ(const char *data, const char *hora) { return bema::z_reduction(at(__func__), data, hora); }
