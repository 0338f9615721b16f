#include "tree/move_rules.h"

#include <utility>

#include "tree/item_kinds.h"
#include "tree/program_items.h"

namespace ramulet {

namespace {

// 根节点不能移动
constexpr char kRootNotMovable[] = "\xb8\xf9\xbd\xda\xb5\xe3\xb2\xbb\xc4\xdc\xd2\xc6\xb6\xaf";
// 非程序集的项目移动并没有意义。
constexpr char kNotProgramItem[] =
    "\xb7\xc7\xb3\xcc\xd0\xf2\xbc\xaf\xb5\xc4\xcf\xee\xc4\xbf\xd2\xc6\xb6\xaf\xb2\xa2\xc3\xbb"
    "\xd3\xd0\xd2\xe2\xd2\xe5\xa1\xa3";
// 暂不支持移动子程序
constexpr char kSubNotMovable[] =
    "\xd4\xdd\xb2\xbb\xd6\xa7\xb3\xd6\xd2\xc6\xb6\xaf\xd7\xd3\xb3\xcc\xd0\xf2";
// 暂不支持移动
constexpr char kNotMovable[] = "\xd4\xdd\xb2\xbb\xd6\xa7\xb3\xd6\xd2\xc6\xb6\xaf";
// 暂不支持节点跨越式移动。
constexpr char kAcrossLevels[] =
    "\xd4\xdd\xb2\xbb\xd6\xa7\xb3\xd6\xbd\xda\xb5\xe3\xbf\xe7\xd4\xbd\xca\xbd\xd2\xc6\xb6\xaf"
    "\xa1\xa3";
// 移动出错了，获取不到同级节点？。
constexpr char kNoSiblings[] =
    "\xd2\xc6\xb6\xaf\xb3\xf6\xb4\xed\xc1\xcb\xa3\xac\xbb\xf1\xc8\xa1\xb2\xbb\xb5\xbd\xcd\xac"
    "\xbc\xb6\xbd\xda\xb5\xe3\xa3\xbf\xa1\xa3";

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
        return refuse(tip, kRootNotMovable);
    if (level == 2)
        // Group nodes such as "全局变量" carry small tags of kind 0 and stop here.
        return isProgramItemKind(kind) || refuse(tip, kNotProgramItem);
    return refuse(tip, kind == kKindSub ? kSubNotMovable : kNotMovable);
}

bool applyMoveToModel(const ProgramTree& tree, ProjectModel& model, const StatusTip& tip,
                      HTREEITEM& dragged, HTREEITEM& target, bool& after) {
    // A target on another level stands for its first child, when that is a sibling of the
    // dragged item: a drop onto the root means before the first top-level item.
    const HTREEITEM parent = tree.parentItem(dragged);
    if (tree.parentItem(target) != parent) {
        target = tree.firstChild(target);
        if (target == nullptr || tree.parentItem(target) != parent)
            return refuse(tip, kAcrossLevels);
        after = false;
    }

    const SiblingList draggedSiblings = tree.listSiblings(dragged);
    const SiblingList targetSiblings = tree.listSiblings(target);
    if (draggedSiblings.items.empty() || targetSiblings.items.empty())
        return refuse(tip, kNoSiblings);
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
        return refuse(tip, kNotProgramItem);

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
