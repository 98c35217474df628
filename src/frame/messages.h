// Operator messages.  Every message is modal: the call does not go on before
// the operator has answered it.  Texts are Windows-1252.
#pragma once

#include <cstdint>
#include <string_view>

namespace kalpo::frame::msg {

inline constexpr uint32_t kInformation = 0x40;  // information icon, OK
inline constexpr uint32_t kStop = 0x10;         // stop icon, OK
inline constexpr uint32_t kQuestionYesNo = 0x24;

// Notice: the text and an OK button.
void notice(std::string_view text);
// Typed dialog of the information kind with an OK button.
void info(std::string_view text);
// Typed dialog of the confirmation kind with Yes and No; true on Yes.
bool confirm(std::string_view text);
// Captioned box with its own caption and icon (kInformation or kStop).
void box(std::string_view text, std::string_view caption, uint32_t flags);
// Releases a keyboard and mouse block that the host program may have set.
void release_input();

// Told of every message shown and the button that answered it (the call
// trace listens while it records a call); nullptr stops the telling.
using Listener = void (*)(int32_t form, std::string_view text, const char *caption, uint32_t flags, int32_t button);
void listen(Listener listener);

}  // namespace kalpo::frame::msg
