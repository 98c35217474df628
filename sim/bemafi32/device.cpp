// BEMAFI32: the paper and the cash drawer.  These calls report no outcome
// of their own to the status read (see bematech/conventions.h).
#include "bemafi32/library.h"

namespace {

template <typename Op>
std::int32_t device(std::string_view function, Op op) {
  return bema::query(bemafi32::kLibrary, function,
                     [&](ksim::Session &session, bool) -> bema::Result { return op(session); });
}

}  // namespace

// 0 to 255 lines between documents.
BEMA_EXPORT Bematech_FI_LinhasEntreCupons(std::int32_t linhas) {
  return device(__func__, [&](ksim::Session &session) {
    return linhas < 0 || linhas > 255 ? ksim::Outcome::invalid_argument : session.set_lines_between_documents(linhas);
  });
}

BEMA_EXPORT Bematech_FI_AtivaDesativaCorteProximoMFD() {
  return device(__func__, [](ksim::Session &session) { return session.toggle_cut_next(); });
}

BEMA_EXPORT Bematech_FI_AcionaGaveta() {
  return device(__func__, [](ksim::Session &session) { return session.open_drawer(); });
}
