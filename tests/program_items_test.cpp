#include "tree/program_items.h"

#include <gtest/gtest.h>

#include "tree/item_kinds.h"
#include "tree/move_texts.h"
#include "tree/top_level_drop.h"
#include "tree/tree_builder.h"

namespace ramulet {
namespace {

std::vector<AssemblyRecord> assemblies(std::initializer_list<const char*> names) {
    std::vector<AssemblyRecord> list;
    ObjectId id = 0x09000001;
    for (const char* n : names) {
        AssemblyRecord a;
        a.key.id = id++;
        a.name = n;
        list.push_back(a);
    }
    return list;
}

Text order(const std::vector<AssemblyRecord>& list) {
    Text out;
    for (const AssemblyRecord& a : list)
        out += (out.empty() ? "" : " ") + a.name;
    return out;
}

TEST(program_items_test, move_record_before_or_after) {
    struct Case {
        int from, to;
        bool after;
        const char* result;
    };
    const Case cases[] = {
        {1, 3, true, "A2 A3 A1 A4"},  {1, 2, true, "A2 A1 A3 A4"},  {4, 2, false, "A1 A4 A2 A3"},
        {3, 1, false, "A3 A1 A2 A4"}, {2, 4, true, "A1 A3 A4 A2"},  {2, 2, false, "A1 A2 A3 A4"},
        {2, 3, false, "A1 A2 A3 A4"}, {4, 1, false, "A4 A1 A2 A3"},
    };
    for (const Case& c : cases) {
        auto list = assemblies({"A1", "A2", "A3", "A4"});
        EXPECT_EQ(moveAssemblyRecord(list, c.from, c.to, c.after), std::nullopt);
        EXPECT_EQ(order(list), c.result) << c.from << "->" << c.to << " after " << c.after;
    }
}

TEST(program_items_test, move_beyond_the_list_is_refused_unchanged) {
    auto list = assemblies({"A1", "A2"});
    EXPECT_EQ(moveAssemblyRecord(list, 1, 3, false), movetext::kMoveFailed);
    EXPECT_EQ(order(list), "A1 A2");
}

TEST(program_items_test, sort_is_the_exchange_sort_by_byte_length) {
    struct Case {
        std::vector<const char*> names;
        const char* result;
    };
    // "\xd6\xd0" is one Chinese character: two bytes, the same key as two letters.
    const Case cases[] = {
        {{"abc", "a", "ab"}, "a ab abc"},
        {{"P1", "Q1", "R"}, "R Q1 P1"},  // keys 2, 2, 1: equal keys carried past each other
        {{"xyz", "\xd6\xd0", "ab"}, "\xd6\xd0 ab xyz"},
        {{}, ""},
        {{"only"}, "only"},
    };
    for (const Case& c : cases) {
        std::vector<AssemblyRecord> list;
        for (const char* n : c.names)
            list.push_back(assemblies({n})[0]);
        sortAssembliesByNameLength(list);
        EXPECT_EQ(order(list), c.result);
    }
}

TEST(program_items_test, kinds_and_names) {
    EXPECT_EQ(kindOf(0x19000005u), 25);
    EXPECT_EQ(kindName(25), "\xb4\xb0\xbf\xda\xb3\xcc\xd0\xf2\xbc\xaf");  // 窗口程序集
    EXPECT_EQ(kindOf(0xFF000000u), 255);
    EXPECT_EQ(kindName(255), "\xce\xb4\xd6\xaa");  // 未知
    EXPECT_EQ(kindOf(kGlobalGroupTag), 0);
    EXPECT_TRUE(isProgramItemKind(kindOf(0x49000001u)));
    EXPECT_FALSE(isProgramItemKind(kindOf(0x04000001u)));
}

TEST(program_items_test, report_names_both_items_in_full_width_quotes) {
    // [程序集]“Main”  > >  [类]“Cls”
    EXPECT_EQ(moveReportText(0x09000001, "Main", 0x49000002, "Cls"),
              "[\xb3\xcc\xd0\xf2\xbc\xaf]\xa1\xb0Main\xa1\xb1  > >  [\xc0\xe0]\xa1\xb0"
              "Cls\xa1\xb1");
}

// The drop table of the tree, worked on the tree's content: A1..A4 followed by the group of
// global variables.
TEST(program_items_test, top_level_drops_match_the_tree) {
    struct Case {
        int from, to;
        bool after;
        DropOutcome::Result result;
        const char* order;
        const char* reportTarget;
    };
    using R = DropOutcome::Result;
    const Case cases[] = {
        {1, 3, true, R::Moved, "A2 A3 A1 A4", "A3"},
        {1, 3, false, R::Moved, "A2 A1 A3 A4", "A2"},
        {4, 2, false, R::Moved, "A1 A4 A2 A3", "A2"},
        {2, 5, false, R::Moved, "A1 A3 A4 A2", "A4"},
        {2, 5, true, R::Refused, "A1 A2 A3 A4", nullptr},
        {1, 2, false, R::NoMove, "A1 A2 A3 A4", nullptr},
        {2, 1, true, R::NoMove, "A1 A2 A3 A4", nullptr},
        {5, 1, false, R::Refused, "A1 A2 A3 A4", nullptr},
    };
    for (const Case& c : cases) {
        ProjectModel model = ProjectModel::initial();
        loadProject(model, SectionContainer{});
        model.workingProgram().assemblies = assemblies({"A1", "A2", "A3", "A4"});
        VariableRecord g;
        g.name = "g";
        model.workingProgram().globals = {g};
        ProgramTreeContent content = refreshProgramTree(model);
        const DropOutcome outcome = dropTopLevelItem(model, content.root, c.from, c.to, c.after);
        EXPECT_EQ(outcome.result, c.result) << c.from << "->" << c.to;
        EXPECT_EQ(order(model.workingProgram().assemblies), c.order) << c.from << "->" << c.to;
        // The tree and the model stay in step.
        EXPECT_EQ(refreshProgramTree(model).root, content.root) << c.from << "->" << c.to;
        if (c.reportTarget != nullptr) {
            EXPECT_NE(outcome.statusText.find(Text("\xa1\xb0") + c.reportTarget + "\xa1\xb1"),
                      Text::npos);
        }
        if (c.result == R::Refused) {
            EXPECT_EQ(outcome.statusText, movetext::kNotProgramItem);
        }
    }
}

}  // namespace
}  // namespace ramulet
