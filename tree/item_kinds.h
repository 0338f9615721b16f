// Item kinds: the top byte of an ObjectId, and their display names.
#pragma once

#include <cstdint>

#include "container/bytes.h"
#include "tree/tree_node.h"

namespace ramulet {

enum ObjectKind : int {
    kKindSub = 4,
    kKindGlobal = 5,
    kKindAssembly = 9,
    kKindDllCommand = 10,
    kKindWindowAssembly = 25,
    kKindClass = 73,
};

constexpr int kindOf(TreeNodeTag tag) {
    return static_cast<int>((tag >> 24) & 0xFF);
}

// The kinds that can be moved: assemblies, window assemblies and classes.
constexpr bool isProgramItemKind(int kind) {
    return kind == kKindAssembly || kind == kKindWindowAssembly || kind == kKindClass;
}

// GBK display name; "未知" for a code without a name.
Text kindName(int kind);

// The status text after a move (without the "Tip：" prefix): the new item's kind and text,
// then the target's, in full-width quotation marks.
Text moveReportText(TreeNodeTag newTag, const Text& newText, TreeNodeTag targetTag,
                    const Text& targetText);

}  // namespace ramulet
