// Reordering the top-level program items of the working program section.
#pragma once

#include <optional>
#include <vector>

#include "model/project_model.h"

namespace ramulet {

// Moves assembly `from` (1-based) so that it stands before the record now at `to`, or after it
// when `after` is set, as a drop in the tree does. Refuses, with the GBK status text, when `to`
// lies beyond the end of the list; the list is then unchanged.
std::optional<Text> moveAssemblyRecord(std::vector<AssemblyRecord>& assemblies, int from, int to,
                                       bool after);

// Exchange sort by the byte length of the names, shortest first; equal keys are not exchanged
// with each other but may be carried past one another.
void sortAssembliesByNameLength(std::vector<AssemblyRecord>& assemblies);

}  // namespace ramulet
