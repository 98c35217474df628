// Answer buffers handed to the makers' libraries: filled with blanks to their width,
// with one byte more for a terminating zero, and read back no further than
// their width whatever the maker's library wrote.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace kalpo {

class AnswerBuffer {
 public:
  explicit AnswerBuffer(std::size_t width) : bytes_(width + 1, ' '), width_(width) { bytes_[width] = '\0'; }

  char *data() { return bytes_.data(); }
  std::size_t width() const { return width_; }

  // The answer: the buffer up to its first zero byte, or the whole width.
  std::string text() const { return std::string(bytes_.data(), strnlen(bytes_.data(), width_)); }

 private:
  std::vector<char> bytes_;
  std::size_t width_;
};

// Characters first..last (1-based, inclusive) of text; fewer when it is
// shorter, none when it ends before first.
inline std::string characters(std::string_view text, std::size_t first, std::size_t last) {
  if (first == 0 || first > text.size() || last < first) return {};
  return std::string(text.substr(first - 1, last - first + 1));
}

// Without leading and trailing blanks and control characters.
inline std::string trim_blank_and_control(std::string_view text) {
  auto weak = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  std::size_t begin = 0, end = text.size();
  while (begin < end && weak(text[begin])) ++begin;
  while (end > begin && weak(text[end - 1])) --end;
  return std::string(text.substr(begin, end - begin));
}

// Without leading and trailing blanks.
inline std::string trim_blanks(std::string_view text) {
  std::size_t begin = text.find_first_not_of(' ');
  if (begin == std::string_view::npos) return {};
  std::size_t end = text.find_last_not_of(' ');
  return std::string(text.substr(begin, end - begin + 1));
}

}  // namespace kalpo
