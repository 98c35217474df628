// Answer buffers handed to the makers' libraries: filled with blanks to their width,
// with one byte more for a terminating zero, and read back no further than
// their width whatever the maker's library wrote.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

namespace kalpo::frame {

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

}  // namespace kalpo::frame
