// --version: the version of the library the tool was built with and the
// text that the loaded library's KALPO_Versao hands back.
#include <nlohmann/json.hpp>

#include "base/cp1252.h"
#include "commands.h"
#include "kalpo.h"
#include "output.h"

namespace kt {

using kalpo::base::cp1252::to_utf8;

std::string version_text(const Global &g) {
  const char *text = nullptr;
  KALPO_Versao(&text);
  const std::string versao = to_utf8(text ? text : "");
  if (g.json) return json_text({{"version", KALPO_VERSION_TEXT}, {"versao", versao}});
  return "kalpo " KALPO_VERSION_TEXT "\nKALPO_Versao: " + versao;
}

}  // namespace kt
