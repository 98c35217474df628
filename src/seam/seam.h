// The maker seam: every call into a printer maker's library goes through the
// table returned by seam::api().  By default the table calls the libraries
// bound at load time; tests and tools install a table of their own.
#pragma once

#include <cstdint>

namespace kalpo::seam {

struct Api {
#define KALPO_SEAM_ENTRY(ret, name, params, args) ret(*name) params;
#define KALPO_MAKER_EACH KALPO_SEAM_ENTRY
#include "seam/maker_list.h"
#undef KALPO_SEAM_ENTRY
};

// The table in use.
const Api &api();

// The table that calls the makers' libraries bound at load time.
const Api &native();

// Replaces the table in use; nullptr restores the native one.  The table must
// outlive its installation.
void install(const Api *table);

}  // namespace kalpo::seam
