#include <gtest/gtest.h>

#include "model/project_model.h"

namespace ramulet {
namespace {

AssemblyRecord assembly(ObjectId id, Text name) {
    AssemblyRecord a;
    a.key.id = id;
    a.name = std::move(name);
    return a;
}

SubRecord sub(ObjectId owner, Text name) {
    SubRecord s;
    s.key.id = 0x04000000u | static_cast<ObjectId>(std::hash<Text>{}(name)&0xFFFF);
    s.ownerId = owner;
    s.name = std::move(name);
    return s;
}

std::vector<Text> names(const auto& list) {
    std::vector<Text> out;
    for (const auto& r : list)
        out.push_back(r.name);
    return out;
}

constexpr ObjectId A = 0x09000001, B = 0x09000002, C = 0x09000003, X = 0x09000004;

ProgramSection sampleProgram() {
    ProgramSection p;
    p.assemblies = {assembly(A, "A"), assembly(X, "X"), assembly(B, "B"), assembly(C, "C")};
    p.subs = {sub(A, "a1"), sub(X, "x1"), sub(B, "b1"), sub(A, "a2"), sub(X, "x2"), sub(B, "b2")};
    return p;
}

TEST(set_apart_test, marked_assembly_and_its_subs_leave_the_working_section) {
    ProgramSection setApart;
    const ProgramSection w = setApartFlaggedItems(sampleProgram(), {{X, 2}}, setApart);
    EXPECT_EQ(names(w.assemblies), (std::vector<Text>{"A", "B", "C"}));
    EXPECT_EQ(names(w.subs), (std::vector<Text>{"a1", "b1", "a2", "b2"}));
    EXPECT_EQ(names(setApart.assemblies), (std::vector<Text>{"X"}));
    EXPECT_EQ(names(setApart.subs), (std::vector<Text>{"x1", "x2"}));
}

TEST(set_apart_test, only_mark_two_counts) {
    for (int32_t mark : {0, 1, 3, -2}) {
        ProgramSection setApart;
        const ProgramSection w = setApartFlaggedItems(sampleProgram(), {{X, mark}}, setApart);
        EXPECT_EQ(w.assemblies.size(), 4u) << mark;
        EXPECT_TRUE(setApart.assemblies.empty()) << mark;
    }
}

// Subs of several marked ids keep their table order within each id; groups follow the order
// of the mark entries. (Reversing the whole list after each entry would give b1 b2 a2 a1 and
// flip again on the next save.)
TEST(set_apart_test, subs_of_several_marks_keep_their_order) {
    ProgramSection setApart;
    setApartFlaggedItems(sampleProgram(), {{A, 2}, {B, 2}}, setApart);
    EXPECT_EQ(names(setApart.subs), (std::vector<Text>{"a1", "a2", "b1", "b2"}));
    EXPECT_EQ(names(setApart.assemblies), (std::vector<Text>{"A", "B"}));
}

TEST(set_apart_test, subs_of_a_mark_without_assembly_are_set_apart) {
    ProgramSection p = sampleProgram();
    p.subs.push_back(sub(0x09000099, "orphan"));
    ProgramSection setApart;
    const ProgramSection w = setApartFlaggedItems(p, {{0x09000099, 2}}, setApart);
    EXPECT_EQ(w.assemblies.size(), 4u);
    EXPECT_EQ(names(setApart.subs), (std::vector<Text>{"orphan"}));
}

TEST(set_apart_test, flag_bits_set_apart_globals_data_types_and_dll_commands) {
    ProgramSection p;
    for (int16_t f : {0x0300, 0x0100, 0x0200}) {
        VariableRecord v;
        v.flags = f;
        v.name = std::to_string(f);
        p.globals.push_back(v);
    }
    for (int32_t f : {3, 1, 2}) {
        DataTypeRecord d;
        d.flags = f;
        d.name = std::to_string(f);
        p.dataTypes.push_back(d);
    }
    for (int32_t f : {3, 4, 5}) {
        DllCommandRecord d;
        d.flags = f;
        d.name = std::to_string(f);
        p.dllCommands.push_back(d);
    }
    ProgramSection setApart;
    const ProgramSection w = setApartFlaggedItems(p, {}, setApart);
    EXPECT_EQ(names(w.globals), (std::vector<Text>{"256"}));
    EXPECT_EQ(names(setApart.globals), (std::vector<Text>{"768", "512"}));
    EXPECT_EQ(names(w.dataTypes), (std::vector<Text>{"1"}));
    EXPECT_EQ(names(setApart.dataTypes), (std::vector<Text>{"3", "2"}));
    EXPECT_EQ(names(w.dllCommands), (std::vector<Text>{"3"}));
    EXPECT_EQ(names(setApart.dllCommands), (std::vector<Text>{"4", "5"}));
}

// Two assemblies share an id and one mark entry names it: the first refresh sets the later one
// apart. A second refresh must neither lose it nor take the other one as well.
TEST(set_apart_test, later_refresh_keeps_what_is_set_apart) {
    ProgramSection p;
    p.assemblies = {assembly(A, "first"), assembly(B, "other"), assembly(A, "second")};
    const ItemMarkTable marks = {{A, 2}};
    ProgramSection setApart;
    ProgramSection w = setApartFlaggedItems(p, marks, setApart);
    EXPECT_EQ(names(w.assemblies), (std::vector<Text>{"first", "other"}));
    EXPECT_EQ(names(setApart.assemblies), (std::vector<Text>{"second"}));
    const ProgramSection setApartAfterFirst = setApart;
    w = setApartFlaggedItems(w, marks, setApart);
    EXPECT_EQ(names(w.assemblies), (std::vector<Text>{"first", "other"}));
    EXPECT_EQ(setApart, setApartAfterFirst);
}

TEST(set_apart_test, later_refresh_adds_new_finds_after_the_old_ones) {
    ProgramSection p = sampleProgram();
    ProgramSection setApart;
    ProgramSection w = setApartFlaggedItems(p, {{X, 2}}, setApart);
    // A mark that was not there before (as if the table changed) adds after what is there.
    w = setApartFlaggedItems(w, {{X, 2}, {A, 2}}, setApart);
    EXPECT_EQ(names(setApart.assemblies), (std::vector<Text>{"X", "A"}));
    EXPECT_EQ(names(setApart.subs), (std::vector<Text>{"x1", "x2", "a1", "a2"}));
}

}  // namespace
}  // namespace ramulet
