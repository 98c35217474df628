// Pieces of the Windows platform layer that its tests reach directly.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kalpo::platform {

// The caption and MessageBox style of an operator message of the given form
// (KALPO_MSG_*) and flags: a notice is captioned with the application's
// title, a typed dialog with its kind ("Information", "Confirm"), a captioned
// box with its own caption.
struct MessageBoxRequest {
  std::string caption;
  uint32_t style = 0;
};
MessageBoxRequest message_box_for(int32_t form, const char *caption, uint32_t flags,
                                  std::string_view application_title);

// The host application's title: its program file name without folder and
// extension.
std::string application_title();

}  // namespace kalpo::platform
