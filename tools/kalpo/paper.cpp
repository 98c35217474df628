#include "paper.h"

#include <iostream>

#include "base/cp1252.h"

namespace kt {

using kalpo::base::cp1252::to_utf8;

void print_pages(const std::vector<ksim::Page> &pages) {
  for (const ksim::Page &page : pages) {
    std::cout << "  +------------------------------------------------+\n";
    for (const std::string &line : page.lines) {
      std::string text = to_utf8(line);
      std::cout << "  |" << text;
      // Pad to the paper's 48 columns, counting characters, not bytes.
      std::size_t width = 0;
      for (unsigned char c : text) width += (c & 0xC0) != 0x80;
      for (; width < 48; ++width) std::cout << ' ';
      std::cout << "|\n";
    }
  }
  if (!pages.empty()) std::cout << "  +------------------------------------------------+\n";
}

nlohmann::json pages_json(const std::vector<ksim::Page> &pages) {
  nlohmann::json out = nlohmann::json::array();
  for (const ksim::Page &page : pages) {
    nlohmann::json lines = nlohmann::json::array();
    for (const std::string &line : page.lines) lines.push_back(to_utf8(line));
    out.push_back({{"coo", page.coo}, {"title", to_utf8(page.title)}, {"lines", lines}});
  }
  return out;
}

}  // namespace kt
