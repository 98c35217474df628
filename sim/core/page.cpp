// Pages of the paper tape, 48 columns a line, and the tape as text.
#include "core/internal.h"

namespace ksim {

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
  std::string counters = (ccf ? "CCF:" + pad_number(ccf, 6) + " " : "") +
                         "COO:" + pad_number(page_.coo, 6);
  pair(date_time_text(when), counters);
  center(page_.title);
}

void PageBuilder::text(std::string_view line) {
  do {
    page_.lines.emplace_back(line.substr(0, kColumns));
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

void PageBuilder::footer() {
  rule();
  pair("KALPO ECF-IF", "VERSAO:" + state_.identity.firmware);
  pair("FAB:" + state_.identity.serial, "BR");
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
  std::string text(kColumns, '=');
  text += '\n';
  for (const std::string &line : page.lines) text += line + "\n";
  return text;
}

std::string add_printout(std::vector<Page> &tape, const Printout &printout) {
  std::string added;
  for (const Page &page : printout.pages) {
    tape.push_back(page);
    added += page_text(page);
  }
  if (printout.trailing.empty()) return added;
  if (tape.empty()) {
    tape.emplace_back();
    added += page_text(tape.back());
  }
  for (const std::string &line : printout.trailing) {
    tape.back().lines.push_back(line);
    added += line + "\n";
  }
  return added;
}

}  // namespace ksim
