// The commands of ramulet-cli, on the same core as the window program.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "container/source_file.h"

namespace ramulet {

// Runs one command line (without the program name). Output and messages are UTF-8.
// `terminalPrompt` asks for a password when none was given with --password.
// Exit status: 0 success, 1 failure (load, write, refused move, check found differences),
// 2 usage error.
int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const PasswordPrompt& terminalPrompt);

}  // namespace ramulet
