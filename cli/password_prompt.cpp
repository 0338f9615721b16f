#include "cli/password_prompt.h"

namespace ramulet {

std::optional<Text> askPasswordOnTerminal() {
    return std::nullopt;
}

}  // namespace ramulet
