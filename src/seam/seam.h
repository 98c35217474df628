// The maker seam: every call into a printer maker's library goes through the
// table returned by seam::api().  By default the table calls the makers'
// libraries, each loaded when first needed (native.cpp); tests and tools
// install a table of their own.
#pragma once

#include <cstdint>
#include <string_view>

#include "seam/maker_files.h"

namespace kalpo::seam {

struct Api {
#define KALPO_SEAM_ENTRY(ret, name, params, args) ret(*name) params;
#define KALPO_MAKER_EACH KALPO_SEAM_ENTRY
#include "seam/maker_list.h"
#undef KALPO_SEAM_ENTRY
};

// The table in use.
const Api &api();

// The table that calls the makers' libraries; a call of a library that is
// missing throws LibraryMissing.
const Api &native();

// Replaces the table in use; nullptr restores the native one.  The table must
// outlive its installation.
void install(const Api *table);

// Told each time the native table looks for a maker library: what it found
// (found.handle null: missing); nullptr stops the telling.
using LoadListener = void (*)(std::string_view library, const FoundLibrary &found);
void listen_loads(LoadListener listener);

}  // namespace kalpo::seam
