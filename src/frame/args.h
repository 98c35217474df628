// The export arguments as the operations see them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "kalpo.h"

namespace kalpo::frame {

// A text argument: a null pointer is an empty text.
inline std::string text_arg(const char *p) { return p ? std::string(p) : std::string(); }

// A text as a maker's library receives it: an empty text as a null pointer
// or as a pointer to an empty string, as each branch says.
inline const char *null_if_empty(const std::string &s) { return s.empty() ? nullptr : s.c_str(); }

// An out text or var text: the caller's character pointer.
class OutText {
 public:
  explicit OutText(const char **target = nullptr) : target_(target) {}
  // Hands out a copy owned by the library until the next call.
  void set(std::string_view text);
  // Hands out a text with static storage.
  void set_constant(const char *text) {
    if (target_) *target_ = text;
  }
  bool present() const { return target_ != nullptr; }

 private:
  const char **target_;
};

// A var integer: the caller's 32-bit integer.
class VarInt {
 public:
  explicit VarInt(int32_t *target = nullptr) : target_(target) {}
  void set(int32_t value) {
    if (target_) *target_ = value;
  }
  // Where a maker's library may write directly: the caller's integer, or a
  // scratch integer when the caller passed none.
  int32_t *target() { return target_ ? target_ : &scratch_; }

 private:
  int32_t *target_;
  int32_t scratch_ = 0;
};

// The caller's text-holding control.
class TextControl {
 public:
  explicit TextControl(KALPO_TextControl *control = nullptr) : control_(control) {}
  std::string text() const;
  void set_text(const std::string &text) const;
  // A control whose text can be both read and replaced.
  bool writable() const { return control_ && control_->get_text && control_->set_text; }
  // The text split as a text list splits: CR LF, lone CR or lone LF end a
  // line; a final line break adds no empty line.
  std::vector<std::string> lines() const;

 private:
  KALPO_TextControl *control_;
};

std::vector<std::string> split_lines(std::string_view text);

}  // namespace kalpo::frame
