// --version: the version of the library the tool was built with and the
// text that the loaded library's KALPO_Versao hands back, or why none is.
#include <nlohmann/json.hpp>

#include "base/cp1252.h"
#include "commands.h"
#include "kalpo.h"
#include "library.h"
#include "output.h"

namespace kt {

using kalpo::base::cp1252::to_utf8;

std::string library_versao() {
  // Without a library the version is still told, and why there is no text.
  try {
    const char *text = nullptr;
    library_export<decltype(&KALPO_Versao)>("KALPO_Versao")(&text);
    return to_utf8(text ? text : "");
  } catch (const LibraryMissing &e) {
    return std::string("(not loaded: ") + e.what() + ")";
  }
}

std::string version_text(const Global &g) {
  const std::string versao = library_versao();
  if (g.json) return json_text({{"version", KALPO_VERSION_TEXT}, {"versao", versao}});
  return "kalpo " KALPO_VERSION_TEXT "\nKALPO_Versao: " + versao;
}

}  // namespace kt
