// Declarations of the makers' library functions as the libraries export them:
// C names, __stdcall on 32-bit Windows.  Used by the native binding and, with
// KALPO_VENDOR_DEFINE, by the stand-in libraries that define them.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#define KALPO_VENDOR_CALL __stdcall
#if defined(KALPO_VENDOR_DEFINE)
#define KALPO_VENDOR_IMPORT __declspec(dllexport)
#else
#define KALPO_VENDOR_IMPORT __declspec(dllimport)
#endif
#else
#define KALPO_VENDOR_CALL
#define KALPO_VENDOR_IMPORT __attribute__((visibility("default")))
#endif

extern "C" {
#define KALPO_VENDOR_DECLARE(ret, name, params, args) KALPO_VENDOR_IMPORT ret KALPO_VENDOR_CALL name params;
#define KALPO_VENDOR_EACH KALPO_VENDOR_DECLARE
#include "seam/maker_list.h"
#undef KALPO_VENDOR_DECLARE
}
