// The password prompt of the command-line companion: asks on the terminal and reads the
// password without showing it.
#pragma once

#include <optional>

#include "container/bytes.h"

namespace ramulet {

// When standard input is a terminal, asks "请提供源文件密码" and reads one line without echo.
// Returns the password as GBK bytes (typed UTF-8 is converted on POSIX systems, console input on
// Windows goes through code page 936); the empty line is the empty password. nullopt when
// standard input is no terminal, the input ended or was interrupted (Ctrl-C), or the password
// holds a character that GBK cannot represent. Usable directly as a PasswordPrompt.
std::optional<Text> askPasswordOnTerminal();

}  // namespace ramulet
