// A drop among the top-level nodes of the program tree, worked out on the tree's content as
// the tree box and its move rules would: the same refusals, the same rewriting of a downward
// drop before an item into a drop after the item above it, the same model change.
#pragma once

#include <optional>

#include "model/project_model.h"
#include "tree/tree_node.h"

namespace ramulet {

struct DropOutcome {
    enum class Result { Moved, NoMove, Refused };
    Result result = Result::NoMove;
    Text statusText;  // the move report, or the refusal (GBK, without "Tip：")
};

// `from` and `to` are 1-based positions among the root's children; `after` drops below the
// target's label middle. On a move, both the model's working assembly list and `root` change.
DropOutcome dropTopLevelItem(ProjectModel& model, TreeNode& root, int from, int to, bool after);

}  // namespace ramulet
