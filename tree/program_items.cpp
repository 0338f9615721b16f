#include "tree/program_items.h"

#include <algorithm>

#include "tree/move_texts.h"

namespace ramulet {

std::optional<Text> moveAssemblyRecord(std::vector<AssemblyRecord>& assemblies, int from, int to,
                                       bool after) {
    const int n = static_cast<int>(assemblies.size());
    if (to > n || to < 1 || from < 1 || from > n)
        return movetext::kMoveFailed;
    // The position, counted before the move, in front of which the record goes; n + 1 is the
    // end. Rotating the range between the two places moves the record whole, the others keep
    // their order.
    const int before = after ? to + 1 : to;
    const auto at = [&](int position) { return assemblies.begin() + (position - 1); };
    if (before < from) {
        std::rotate(at(before), at(from), at(from) + 1);
    } else if (before > from + 1) {
        std::rotate(at(from), at(from) + 1, at(before));
    }
    return std::nullopt;
}

void sortAssembliesByNameLength(std::vector<AssemblyRecord>& assemblies) {
    const size_t n = assemblies.size();
    for (size_t i = 0; i < n; ++i) {
        for (size_t j = i + 1; j < n; ++j) {
            if (assemblies[i].name.size() > assemblies[j].name.size()) {
                std::swap(assemblies[i], assemblies[j]);
            }
        }
    }
}

}  // namespace ramulet
