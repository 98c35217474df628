// Compiled into every maker library of the virtual printer: it says what it
// is, so that whoever loads it (libkalpo's trace, kalpo state, the service's
// health) tells it from a maker's own library, wherever it was found.
#define KALPO_MAKER_DEFINE
#include "seam/maker_import.h"

extern "C" KALPO_MAKER_IMPORT const char *KALPO_MAKER_CALL kalpo_virtual_printer() {
  return "KALPO virtual printer: no fiscal printer answers through this library";
}
