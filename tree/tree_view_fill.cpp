#include "tree/tree_view_fill.h"

namespace ramulet {

namespace {

// The program tree is three levels deep at most, so recursion stays shallow.
void addChildren(ProgramTree& tree, const TreeNode& node, HTREEITEM item) {
    for (const TreeNode& child : node.children)
        if (const HTREEITEM childItem = addTreeNode(tree, child.image, child.text, child.tag, item))
            addChildren(tree, child, childItem);
}

}  // namespace

HTREEITEM addTreeNode(ProgramTree& tree, int image, const Text& text, TreeNodeTag tag,
                      HTREEITEM parent) {
    return tree.insertItem(parent != nullptr ? parent : TVI_ROOT, text, image, image, tag,
                           TVI_LAST);
}

HTREEITEM fillTreeView(ProgramTree& tree, const TreeNode& root) {
    tree.clear();
    const HTREEITEM rootItem = addTreeNode(tree, root.image, root.text, root.tag, nullptr);
    if (rootItem == nullptr)
        return nullptr;
    addChildren(tree, root, rootItem);
    tree.expand(rootItem);
    return rootItem;
}

}  // namespace ramulet
