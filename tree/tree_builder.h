// Rebuilding the program tree and the information text from the model.
#pragma once

#include "model/project_model.h"
#include "tree/tree_node.h"

namespace ramulet {

struct ProgramTreeContent {
    TreeNode root;  // "程序数据" with every node below it
    Text infoText;  // the edit box text, GBK, lines ended by "\r\n"
};

// What a refresh does to the model and shows: sets flagged items apart, then describes the
// tree. Two refreshes in a row give the same content.
ProgramTreeContent refreshProgramTree(ProjectModel& model);

// The content alone, from a model whose flagged items are already set apart.
ProgramTreeContent buildProgramTree(const ProjectModel& model);

// The file part of a module path: after a leading "$", or after the last "\" (stepping over
// double-byte characters), or the whole path.
Text modulePathFilePart(const Text& path);

}  // namespace ramulet
