// The move rules of the program tree: which items may be dragged, how an accepted drop is
// mirrored in the project model, and the report after a move.
//
// Only the top-level program items (assemblies, window assemblies, classes) move. They are the
// first children of the root "程序数据", in the order of the working assembly list, so a
// node's place among its siblings is its record's place in the list. Refusals are reported
// through the status tip and leave tree and model as they were.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "model/project_model.h"
#include "tree/program_tree.h"
#include "tree/status_tip.h"

namespace ramulet {

// The may-begin-drag rule: yes for a program item directly under the root; otherwise shows
// why not and says no.
bool checkMovable(const ProgramTree& tree, const StatusTip& tip, HTREEITEM dragged);

// The before-drop rule: moves the dragged item's AssemblyRecord in the working program
// section to where the tree is about to put the node. Rewrites target and after for the tree
// where the drop is expressed differently (a drop onto the root goes before the first item, a
// downward drop before an item goes after the one above it). Shows why a drop is refused and
// says no, with the model unchanged.
bool applyMoveToModel(const ProgramTree& tree, ProjectModel& model, const StatusTip& tip,
                      HTREEITEM& dragged, HTREEITEM& target, bool& after);

// The after-drop report: the kinds and texts of the moved copy and of the target. Always yes,
// so that the tree deletes the dragged item.
bool reportMove(const ProgramTree& tree, const StatusTip& tip, HTREEITEM target, HTREEITEM newItem);

// Registers the three rules as the tree's may-begin-drag, before-drop and after-drop handlers.
// `tree` and `model` are not owned and must outlive the registration.
void installMoveHandlers(ProgramTree& tree, ProjectModel& model, StatusTip tip);

}  // namespace ramulet
