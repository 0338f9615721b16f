// The program tree as data: what the tree box shows, built from the model without any window.
#pragma once

#include <cstdint>
#include <vector>

#include "container/bytes.h"

namespace ramulet {

// The 32-bit value kept with each node: the ObjectId of the item shown, a small number for a
// group node, 0 otherwise.
using TreeNodeTag = uint32_t;

inline constexpr TreeNodeTag kDataTypeGroupTag = 2;
inline constexpr TreeNodeTag kGlobalGroupTag = 3;
inline constexpr TreeNodeTag kDllGroupTag = 4;
inline constexpr TreeNodeTag kWindowGroupTag = 5;
inline constexpr TreeNodeTag kResourceGroupTag = 6;

struct TreeNode {
    Text text;      // GBK
    int image = 0;  // used as both the normal and the selected image
    TreeNodeTag tag = 0;
    std::vector<TreeNode> children;

    bool operator==(const TreeNode&) const = default;
};

}  // namespace ramulet
