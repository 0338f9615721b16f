#include "tree/move_rules.h"

#include <utility>

#include "tree/item_kinds.h"
#include "tree/move_texts.h"
#include "tree/program_items.h"

namespace ramulet {

namespace {

bool refuse(const StatusTip& tip, const Text& message) {
    if (tip)
        tip(message);
    return false;
}

}  // namespace

bool checkMovable(const ProgramTree& tree, const StatusTip& tip, HTREEITEM dragged) {
    const int level = tree.itemLevel(dragged);
    const int kind = kindOf(tree.itemTag(dragged));
    if (level <= 1)
        return refuse(tip, movetext::kRootFixed);
    if (level == 2)
        // Group nodes such as "全局变量" carry small tags of kind 0 and stop here.
        return isProgramItemKind(kind) || refuse(tip, movetext::kNotProgramItem);
    return refuse(tip, kind == kKindSub ? movetext::kNoSubMove : movetext::kNoMove);
}

bool applyMoveToModel(const ProgramTree& tree, ProjectModel& model, const StatusTip& tip,
                      HTREEITEM& dragged, HTREEITEM& target, bool& after) {
    // A target on another level stands for its first child, when that is a sibling of the
    // dragged item: a drop onto the root means before the first top-level item.
    const HTREEITEM parent = tree.parentItem(dragged);
    if (tree.parentItem(target) != parent) {
        target = tree.firstChild(target);
        if (target == nullptr || tree.parentItem(target) != parent)
            return refuse(tip, movetext::kCrossLevel);
        after = false;
    }

    const SiblingList draggedSiblings = tree.listSiblings(dragged);
    const SiblingList targetSiblings = tree.listSiblings(target);
    if (draggedSiblings.items.empty() || targetSiblings.items.empty())
        return refuse(tip, movetext::kNoSiblings);
    const int from = draggedSiblings.position;
    int to = targetSiblings.position;

    // Moving down before T is the same as moving after the item above T; the tree and the
    // report then name that item.
    if (from < to && !after) {
        target = tree.previousSibling(target);
        after = true;
        --to;
    }
    if (!isProgramItemKind(kindOf(tree.itemTag(target))))
        return refuse(tip, movetext::kNotProgramItem);

    if (const auto refusal = moveAssemblyRecord(model.workingProgram().assemblies, from, to, after))
        return refuse(tip, *refusal);
    return true;
}

bool reportMove(const ProgramTree& tree, const StatusTip& tip, HTREEITEM target,
                HTREEITEM newItem) {
    if (tip)
        tip(moveReportText(tree.itemTag(newItem), tree.itemText(newItem), tree.itemTag(target),
                           tree.itemText(target)));
    return true;
}

void installMoveHandlers(ProgramTree& tree, ProjectModel& model, StatusTip tip) {
    tree.setMayBeginDragHandler([&tree, tip](HWND, HTREEITEM dragged, HTREEITEM, bool) {
        return checkMovable(tree, tip, dragged);
    });
    tree.setBeforeDropHandler(
        [&tree, &model, tip](HWND, HTREEITEM* dragged, HTREEITEM* target, bool* after) {
            return applyMoveToModel(tree, model, tip, *dragged, *target, *after);
        });
    tree.setAfterDropHandler([&tree, tip](HWND, HTREEITEM, HTREEITEM target, HTREEITEM newItem) {
        return reportMove(tree, tip, target, newItem);
    });
}

}  // namespace ramulet
