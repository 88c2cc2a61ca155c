// The camera options dialog on a terminal: the host shows the dialog's title, items and current
// values (the texts the module took from its string tables, in the user-interface language) on
// one stream and reads the user's answers from another, line by line.
#pragma once

#include <istream>
#include <ostream>

#include "host/memory_host.hpp"

namespace zeb::host {

// For each item: a choice item takes an index or one of its choice names, a number item a
// finite number; an empty line keeps the shown value, a bad answer is asked again. Then the
// user confirms (Enter, y, yes) or cancels (n, no). End of input cancels.
DialogScript prompt_dialog(std::istream& in, std::ostream& out);

}  // namespace zeb::host
