// The message code of a text the library showed, found in the tables the
// text came from: the makers' message tables and the library's own texts.
// The message handler receives the text alone; the kalpo tool finds the code
// here, with the tables libkalpo shows them from.
#pragma once

#include <string_view>

#include "base/message_codes.h"

namespace kalpo::makers {

// A text that is a table entry gets that entry's code.  A text a call
// completed gets the code of the longest entry it begins with; when that entry
// leads a number and a maker's text, the maker's text decides if it is known.
// Anything else is "other".
base::MessageCode message_code(std::string_view text);

}  // namespace kalpo::makers
