// The pictures of the program tree: one 16 x 16 image list, drawn in code.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "tree/program_tree.h"
#include "tree/tree_builder.h"
#include "tree/win32_handles.h"

namespace ramulet {

// The pictures follow the image roles of the tree builder (TreeImage); index 10 is a spare.
inline constexpr int kTreeImageCount = kImageCount;
inline constexpr int kTreeImageSize = 16;

// A new list of kTreeImageCount masked pictures; null when GDI cannot make it.
UniqueImageList makeProgramTreeImages();

// Gives the tree its normal image list (not owned by the tree: keep it alive while it is
// shown). Returns the list the tree had before.
HIMAGELIST setTreeImages(ProgramTree& tree, HIMAGELIST images);

}  // namespace ramulet
