// What the tool writes besides its plain results: JSON that never fails on a
// text that is not UTF-8, and warnings and errors in the form the user chose
// (text, or JSON with --json).
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include <nlohmann/json_fwd.hpp>

namespace kt {

// Exit statuses, as `kalpo --help` documents them.
inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;  // a call or expectation failed, a printer cannot be read
inline constexpr int kExitUsage = 2;   // a bad command line or input, refused before anything happened

// Standard output and error from here on: a control character the tool did
// not make (any byte below 0x20 but the line end and tab, DEL, and the C1
// controls U+0080..U+009F) is written as '?', so that no text from a printer,
// a trace or a call reaches a terminal as a command to it; a standard stream
// that is closed stays closed (never a file the tool opens later).
void guard_output();
// `status`, or kExitFailed when standard output or error could not be
// written (a full disk, a closed stream): said on standard error if it can.
int finish_output(int status);

// --json: errors and warnings are JSON too.
void set_json_output(bool json);

// Indented; a byte that is not UTF-8 shows as U+FFFD.
std::string json_text(const nlohmann::json &value);
// json_text on one line.
std::string json_line(const nlohmann::json &value);
// json_text on standard output.
void print_json(const nlohmann::json &value);
// On standard error: "kalpo: warning: ..." or, with --json, one JSON line.
void warn(const std::string &text);
// Warnings handed to `sink` instead (a service's log); an empty one restores
// standard error.
void route_warnings(std::function<void(const std::string &)> sink);
// An error that ends the command: "kalpo: ..." on standard error or, with
// --json, {"error": ..., "exit_status": ...} on standard output.  Returns
// the status.
int fail(const std::string &text, int status);

// A text from the command line or a file, as UTF-8: unchanged when it is
// UTF-8 already, otherwise read as Windows-1252.
std::string as_utf8(std::string_view text);

// A text from a client or a file as one line that cannot pass for anything
// else: control characters, backslashes and bytes that are not UTF-8 as
// escapes (\n, \\, \x9b); past `most` characters, cut with "...".
std::string printable(std::string_view text, std::size_t most = std::string_view::npos);

}  // namespace kt
