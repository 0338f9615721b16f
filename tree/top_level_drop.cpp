#include "tree/top_level_drop.h"

#include <algorithm>

#include "tree/item_kinds.h"
#include "tree/move_texts.h"
#include "tree/program_items.h"

namespace ramulet {

DropOutcome dropTopLevelItem(ProjectModel& model, TreeNode& root, int from, int to, bool after) {
    using Result = DropOutcome::Result;
    const int count = static_cast<int>(root.children.size());
    if (from < 1 || from > count || to < 1 || to > count) {
        return {Result::Refused, movetext::kNoSiblings};
    }
    // Drops the tree itself treats as no move: onto the item itself, or to where it already is.
    if (from == to || (!after && to == from + 1) || (after && to == from - 1)) {
        return {Result::NoMove, {}};
    }
    if (!isProgramItemKind(kindOf(root.children[from - 1].tag))) {
        return {Result::Refused, movetext::kNotProgramItem};
    }
    // Moving down before an item is moving after the item above it.
    if (from < to && !after) {
        --to;
        after = true;
    }
    const TreeNode& target = root.children[to - 1];
    if (!isProgramItemKind(kindOf(target.tag)))
        return {Result::Refused, movetext::kNotProgramItem};
    if (auto refusal = moveAssemblyRecord(model.workingProgram().assemblies, from, to, after)) {
        return {Result::Refused, *refusal};
    }
    const Text report = moveReportText(root.children[from - 1].tag, root.children[from - 1].text,
                                       target.tag, target.text);
    // The tree makes the same move on its nodes.
    const auto at = [&](int position) { return root.children.begin() + (position - 1); };
    const int before = after ? to + 1 : to;
    if (before < from) {
        std::rotate(at(before), at(from), at(from) + 1);
    } else {
        std::rotate(at(from), at(from) + 1, at(before));
    }
    return {Result::Moved, report};
}

}  // namespace ramulet
