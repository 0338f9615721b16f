// The text that `ramulet-cli show` prints: the information text, a line "----", then one line
// per tree node. Everything is UTF-8.
#pragma once

#include <string>

#include "tree/tree_builder.h"

namespace ramulet {

// A node text made printable on one line: CR, LF and TAB as \r, \n, \t, any other control
// byte and 0x7F as \xNN; the GBK bytes converted to UTF-8.
std::string printableNodeText(const Text& text);

// "image<TAB>0x%08x<TAB>text", indented by two spaces per level below the root.
std::string describeTree(const ProgramTreeContent& content);

}  // namespace ramulet
