// ramulet-cli: reorders the top-level program items of an Easy Language source file from the
// command line.
#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/password_prompt.h"

#ifdef _WIN32
#include <windows.h>

#include <memory>

// Arguments arrive as UTF-16 so that paths outside the system code page work; the commands
// take UTF-8.
int wmain(int argc, wchar_t** argv) {
    SetConsoleOutputCP(CP_UTF8);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        const int n = WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
        std::string a(static_cast<size_t>(n > 0 ? n : 1), '\0');
        WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, a.data(), n, nullptr, nullptr);
        a.resize(a.size() - 1);
        args.push_back(a);
    }
    return ramulet::runCli(args, std::cout, std::cerr, ramulet::askPasswordOnTerminal);
}
#else
int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return ramulet::runCli(args, std::cout, std::cerr, ramulet::askPasswordOnTerminal);
}
#endif
