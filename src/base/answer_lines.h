// The workstation's answers file of a replay: what libkalpo read of the
// workstation during one recorded export call (the clock, the regional
// settings, a file), one reading a line: its kind, then each field after a
// tab, with \\, \t, \n, \r and \0 escaped; texts in Windows-1252.  The kalpo
// tool writes it from a trace and libkalpo reads it back, both through these
// two functions.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kalpo::base {

struct AnswerLine {
  std::string kind;
  std::vector<std::string> fields;
};

// One line, ending in '\n'.
std::string answer_line(const AnswerLine &answer);
// A line without its '\n'.
AnswerLine parse_answer_line(std::string_view line);

}  // namespace kalpo::base
