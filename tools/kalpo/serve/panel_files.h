// The panel's files, built into the program from serve/panel/.
#pragma once

#include <string_view>

namespace kt::serve {

struct PanelFile {
  std::string_view path;  // "/", "/panel.js", ...
  std::string_view type;
  std::string_view data;
};

extern const PanelFile kPanelFiles[3];

}  // namespace kt::serve
