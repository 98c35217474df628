#include "frame/args.h"

#include "frame/state.h"

namespace kalpo::frame {

void OutText::set(std::string_view text) {
  if (!target_) return;
  auto &texts = state().out_texts;
  texts.emplace_back(text);
  *target_ = texts.back().c_str();
}

std::string TextControl::text() const {
  if (!control_ || !control_->get_text) return {};
  return text_arg(control_->get_text(control_->context));
}

void TextControl::set_text(const std::string &text) const {
  if (control_ && control_->set_text) control_->set_text(control_->context, text.c_str());
}

std::vector<std::string> TextControl::lines() const { return split_lines(text()); }

std::vector<std::string> split_lines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

}  // namespace kalpo::frame
