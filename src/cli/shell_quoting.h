// Texts from the command line repeated in messages, quoted so that a terminal shows them and
// obeys nothing in them.
#pragma once

#include <string>
#include <string_view>

namespace tallowby::cli {

// The text in single quotes, as a shell would read it back: control characters, DEL, C1 controls
// and bytes that are no valid UTF-8 go in $'...' escapes ('a'$'\033''b'), the way coreutils
// quotes names in shell-escape style; a quote inside becomes \'.
std::string ShellQuoted(std::string_view text);

}  // namespace tallowby::cli
