// Declarations of the makers' library functions as the libraries export them:
// C names, __stdcall on 32-bit Windows.  Used by the native binding and, with
// KALPO_MAKER_DEFINE, by the virtual printer's libraries that define them.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#define KALPO_MAKER_CALL __stdcall
#if defined(KALPO_MAKER_DEFINE)
#define KALPO_MAKER_IMPORT __declspec(dllexport)
#else
#define KALPO_MAKER_IMPORT __declspec(dllimport)
#endif
#else
#define KALPO_MAKER_CALL
#define KALPO_MAKER_IMPORT __attribute__((visibility("default")))
#endif

extern "C" {
#define KALPO_MAKER_DECLARE(ret, name, params, args) KALPO_MAKER_IMPORT ret KALPO_MAKER_CALL name params;
#define KALPO_MAKER_EACH KALPO_MAKER_DECLARE
#include "seam/maker_list.h"
#undef KALPO_MAKER_DECLARE
}
