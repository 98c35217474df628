// Pages of the paper tape, 48 columns a line, and the tape as text.
#include "core/internal.h"

namespace ksim {
namespace {

// The line that begins a page on the tape.
std::string separator() { return std::string(kColumns, '='); }

// A line as the paper shows it: a control character (a byte below 0x20, DEL)
// prints as '?', and a line that would read as the start of a page ends in
// '?': no printed text can start a line, a page or a terminal's command.
std::string printable(std::string_view line) {
  std::string out(line);
  for (char &c : out)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  if (out == separator()) out.back() = '?';
  return out;
}

}  // namespace

PageBuilder::PageBuilder(const State &state, std::string title, std::uint32_t coo) : state_(state) {
  page_.title = std::move(title);
  page_.coo = coo;
}

void PageBuilder::header(std::int64_t when, std::uint32_t ccf) {
  const Identity &id = state_.identity;
  center(id.store_name);
  center(id.address);
  text("CNPJ:" + id.cnpj);
  text("IE:" + id.ie);
  rule();
  std::string counters = (ccf ? "CCF:" + pad_number(ccf, 6) + " " : "") + "COO:" + pad_number(page_.coo, 6);
  pair(date_time_text(when), counters);
  center(page_.title);
}

void PageBuilder::text(std::string_view line) {
  do {
    page_.lines.push_back(printable(line.substr(0, kColumns)));
    line.remove_prefix(line.size() < kColumns ? line.size() : kColumns);
  } while (!line.empty());
}

void PageBuilder::center(std::string_view line) {
  if (line.size() >= kColumns) return text(line);
  text(std::string((kColumns - line.size()) / 2, ' ') + std::string(line));
}

void PageBuilder::pair(std::string_view left, std::string_view right) {
  std::size_t used = left.size() + right.size();
  if (used >= kColumns) {
    text(left);
    text(std::string(kColumns > right.size() ? kColumns - right.size() : 0, ' ') + std::string(right));
    return;
  }
  text(std::string(left) + std::string(kColumns - used, ' ') + std::string(right));
}

void PageBuilder::rule(char c) { page_.lines.emplace_back(kColumns, c); }

// Every page ends saying that the virtual printer's paper is no fiscal
// document, whatever its title.
void PageBuilder::footer() {
  rule();
  pair("KALPO ECF-IF", "VERSAO:" + state_.identity.firmware);
  pair("FAB:" + state_.identity.serial, "BR");
  center("IMPRESSORA VIRTUAL - NAO E DOCUMENTO FISCAL");
}

Page PageBuilder::finish() {
  for (int i = 0; i < state_.lines_between_documents; ++i) page_.lines.emplace_back();
  if (state_.cut_next) page_.lines.emplace_back(kCutLine);
  return std::move(page_);
}

std::vector<std::string> split_lines(std::string_view text) {
  std::vector<std::string> lines;
  do {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  } while (!text.empty());
  return lines;
}

std::string page_text(const Page &page) {
  std::string text = separator();
  text += '\n';
  for (const std::string &line : page.lines) text += line + "\n";
  return text;
}

std::string tape_text(const Printout &printout, bool tape_empty) {
  std::string added;
  for (const Page &page : printout.pages) added += page_text(page);
  if (printout.trailing.empty()) return added;
  if (tape_empty && added.empty()) added += page_text(Page{});
  for (const std::string &line : printout.trailing) added += line + "\n";
  return added;
}

namespace {

// A page's COO and title, from its header: the line that ends in
// "COO:<digits>", then the centred title.
void read_header(Page &page) {
  for (std::size_t i = 0; i + 1 < page.lines.size(); ++i) {
    const std::string &line = page.lines[i];
    std::size_t at = line.rfind("COO:");
    if (at == std::string::npos || at + 4 == line.size()) continue;
    std::int64_t coo = 0;
    if (!parse_int(std::string_view(line).substr(at + 4), coo) || coo < 0) continue;
    page.coo = static_cast<std::uint32_t>(coo);
    const std::string &title = page.lines[i + 1];
    std::size_t first = title.find_first_not_of(' ');
    page.title = first == std::string::npos ? std::string() : title.substr(first);
    return;
  }
}

}  // namespace

std::vector<Page> read_pages(std::string_view text) {
  const std::string mark = separator();
  std::vector<Page> pages;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line == mark || pages.empty()) pages.emplace_back();
    if (line != mark) pages.back().lines.emplace_back(line);
  }
  for (Page &page : pages) read_header(page);
  return pages;
}

}  // namespace ksim
