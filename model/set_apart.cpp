#include <algorithm>
#include <iterator>

#include "model/project_model.h"

namespace ramulet {

namespace {

inline constexpr int32_t kSetApartMark = 2;

// Takes the records that `selects` picks out of `list`, keeping the order of both parts, and
// appends them to `setApart` after what it already holds. Collecting from the last record to
// the first and reversing the group gives exactly this order.
template <class Record, class Pred>
void moveSelected(std::vector<Record>& list, std::vector<Record>& setApart, Pred selects) {
    auto firstMoved = std::stable_partition(list.begin(), list.end(),
                                            [&](const Record& r) { return !selects(r); });
    setApart.insert(setApart.end(), std::make_move_iterator(firstMoved),
                    std::make_move_iterator(list.end()));
    list.erase(firstMoved, list.end());
}

// Each mark-2 entry sets apart at most one assembly: the last one in the table with its id.
// Entries that already selected an assembly (at an earlier refresh since the load) are used
// up, so a later refresh neither loses that assembly nor takes a second one with the same id.
void setApartAssemblies(std::vector<AssemblyRecord>& working, const ItemMarkTable& marks,
                        std::vector<AssemblyRecord>& setApart) {
    std::vector<ItemMark> unused = marks;
    for (const AssemblyRecord& done : setApart) {
        for (auto it = unused.rbegin(); it != unused.rend(); ++it) {
            if (it->mark == kSetApartMark && it->id == done.key.id) {
                unused.erase(std::next(it).base());
                break;
            }
        }
    }
    std::vector<AssemblyRecord> group;
    for (size_t v = working.size(); v-- > 0;) {
        for (auto it = unused.rbegin(); it != unused.rend(); ++it) {
            if (it->mark == kSetApartMark && it->id == working[v].key.id) {
                group.push_back(std::move(working[v]));
                working.erase(working.begin() + static_cast<std::ptrdiff_t>(v));
                unused.erase(std::next(it).base());
                break;
            }
        }
    }
    setApart.insert(setApart.end(), std::make_move_iterator(group.rbegin()),
                    std::make_move_iterator(group.rend()));
}

// The subs of every marked id, one group per mark entry in the order of the entries, each group
// in the order the subs had in the table.
void setApartSubs(std::vector<SubRecord>& working, const ItemMarkTable& marks,
                  std::vector<SubRecord>& setApart) {
    for (const ItemMark& entry : marks) {
        if (entry.mark != kSetApartMark)
            continue;
        moveSelected(working, setApart, [&](const SubRecord& s) { return s.ownerId == entry.id; });
    }
}

}  // namespace

ProgramSection setApartFlaggedItems(const ProgramSection& working, const ItemMarkTable& marks,
                                    ProgramSection& setApart) {
    ProgramSection w = working;
    setApartAssemblies(w.assemblies, marks, setApart.assemblies);
    setApartSubs(w.subs, marks, setApart.subs);
    moveSelected(w.globals, setApart.globals,
                 [](const VariableRecord& v) { return (v.flags & 0x0200) == 0x0200; });
    moveSelected(w.dataTypes, setApart.dataTypes,
                 [](const DataTypeRecord& d) { return (d.flags & 2) == 2; });
    moveSelected(w.dllCommands, setApart.dllCommands,
                 [](const DllCommandRecord& d) { return (d.flags & 4) == 4; });
    return w;
}

void setApartForRefresh(ProjectModel& model) {
    model.workingProgram() =
        setApartFlaggedItems(model.workingProgram(), model.itemMarks, model.setApartProgram());
    model.workingResources() =
        setApartFlaggedConstants(model.workingResources(), model.resourceSections[1]);
}

}  // namespace ramulet
