// --version: the version of the library the tool was built with, the text
// that the loaded library's KALPO_Versao hands back, or why none is, and the
// file of each maker library in use.
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

// With the file of each maker library that libkalpo uses (or where it looked).
std::string version_text(const Global &g) {
  const std::string versao = library_versao();
  const std::vector<MakerFile> makers = maker_files();
  if (g.json) {
    nlohmann::json libraries = nlohmann::json::object();
    for (const MakerFile &m : makers)
      libraries[m.library] = {{"name", m.name},
                              {"file", m.file.empty() ? nlohmann::json() : nlohmann::json(m.file)},
                              {"virtual", m.virtual_printer},
                              {"looked", m.looked}};
    return json_text({{"version", KALPO_VERSION_TEXT}, {"versao", versao}, {"maker_libraries", libraries}});
  }
  std::string text = "kalpo " KALPO_VERSION_TEXT "\nKALPO_Versao: " + versao + "\nmaker libraries:";
  for (const MakerFile &m : makers) text += "\n  " + m.library + ": " + maker_file_text(m);
  return text;
}

}  // namespace kt
