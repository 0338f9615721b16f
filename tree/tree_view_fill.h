// Showing a built program tree (TreeNode hierarchy) in the tree box.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "tree/program_tree.h"
#include "tree/tree_node.h"

namespace ramulet {

// Appends one node as the last child of `parent` (null: top level), its image used as both
// the normal and the selected image.
HTREEITEM addTreeNode(ProgramTree& tree, int image, const Text& text, TreeNodeTag tag,
                      HTREEITEM parent);

// Replaces the whole content of the tree with `root` and everything below it, children in
// their order, and expands the root only. Returns the root's item, null when it could not be
// inserted.
HTREEITEM fillTreeView(ProgramTree& tree, const TreeNode& root);

}  // namespace ramulet
