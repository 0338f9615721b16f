// Asking for the password of a protected file on the terminal.
#pragma once

#include <optional>

#include "container/bytes.h"

namespace ramulet {

// Asks without echo when standard input is a terminal and returns the typed text as GBK;
// nullopt when there is no terminal or the input ended.
std::optional<Text> askPasswordOnTerminal();

}  // namespace ramulet
