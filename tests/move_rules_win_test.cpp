// The move rules on a real project model and a real tree box: every move is a drag with real
// mouse input, checked in the tree, in the model and in the status text.
#include "tree/move_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tree/tree_builder.h"
#include "tree/tree_view_fill.h"
#include "win_ui_support.h"

namespace ramulet {
namespace {

using wintest::Half;
using Texts = std::vector<std::string>;

// 程序数据
const Text kRootText = "\xb3\xcc\xd0\xf2\xca\xfd\xbe\xdd";
// 全局变量
const Text kGlobalsText = "\xc8\xab\xbe\xd6\xb1\xe4\xc1\xbf";
// 启动窗口
const Text kStartWindow = "\xc6\xf4\xb6\xaf\xb4\xb0\xbf\xda";
// 程序集
const Text kAssembly = "\xb3\xcc\xd0\xf2\xbc\xaf";
// 窗口程序集
const Text kWindowAssembly = "\xb4\xb0\xbf\xda\xb3\xcc\xd0\xf2\xbc\xaf";
// 类
const Text kClass = "\xc0\xe0";

// 根节点不能移动
const Text kRootNotMovable = "\xb8\xf9\xbd\xda\xb5\xe3\xb2\xbb\xc4\xdc\xd2\xc6\xb6\xaf";
// 非程序集的项目移动并没有意义。
const Text kNotProgramItem =
    "\xb7\xc7\xb3\xcc\xd0\xf2\xbc\xaf\xb5\xc4\xcf\xee\xc4\xbf\xd2\xc6\xb6\xaf\xb2\xa2\xc3\xbb"
    "\xd3\xd0\xd2\xe2\xd2\xe5\xa1\xa3";
// 暂不支持移动子程序
const Text kSubNotMovable =
    "\xd4\xdd\xb2\xbb\xd6\xa7\xb3\xd6\xd2\xc6\xb6\xaf\xd7\xd3\xb3\xcc\xd0\xf2";
// 暂不支持移动
const Text kNotMovable = "\xd4\xdd\xb2\xbb\xd6\xa7\xb3\xd6\xd2\xc6\xb6\xaf";
// 暂不支持节点跨越式移动。
const Text kAcrossLevels =
    "\xd4\xdd\xb2\xbb\xd6\xa7\xb3\xd6\xbd\xda\xb5\xe3\xbf\xe7\xd4\xbd\xca\xbd\xd2\xc6\xb6\xaf"
    "\xa1\xa3";
// 啊哦~，移动出错了？
const Text kBeyondEnd = "\xb0\xa1\xc5\xb6~\xa3\xac\xd2\xc6\xb6\xaf\xb3\xf6\xb4\xed\xc1\xcb\xa3\xbf";

// The move report: "[kind]“text”  > >  [kind]“text”", with full-width quotation marks.
Text report(const Text& movedKind, const Text& moved, const Text& targetKind, const Text& target) {
    return "[" + movedKind + "]\xa1\xb0" + moved + "\xa1\xb1  > >  [" + targetKind + "]\xa1\xb0" +
           target + "\xa1\xb1";
}

AssemblyRecord assembly(ObjectId id, Text name) {
    AssemblyRecord record;
    record.key.id = id;
    record.name = std::move(name);
    return record;
}

SubRecord sub(ObjectId id, ObjectId owner, Text name) {
    SubRecord record;
    record.key.id = id;
    record.ownerId = owner;
    record.name = std::move(name);
    return record;
}

// A1 (assembly), 启动窗口 (window assembly), A3 (class, with the sub S3), A4 (assembly), one
// global variable g1; A5 is marked to be set apart and X already is.
ProjectModel sampleModel() {
    ProjectModel model;
    ProgramSection& program = model.workingProgram();
    program.assemblies = {assembly(0x09000001, "A1"), assembly(0x19000002, kStartWindow),
                          assembly(0x49000003, "A3"), assembly(0x09000004, "A4"),
                          assembly(0x09000005, "A5")};
    program.subs = {sub(0x04000001, 0x49000003, "S3")};
    VariableRecord global;
    global.key.id = 0x05000001;
    global.name = "g1";
    program.globals = {global};
    model.itemMarks = {ItemMark{0x09000005, 2}};
    model.setApartProgram().assemblies = {assembly(0x09000009, "X")};
    return model;
}

class move_rules_win_test : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(window_.valid());
        ASSERT_TRUE(tree_.attach(window_.tree()));
        installMoveHandlers(tree_, model_,
                            [this](const Text& message) { tips_.push_back(message); });
        reload();
    }

    // A fresh model, refreshed into the tree as the program does after a load.
    void reload() {
        model_ = sampleModel();
        root_ = fillTreeView(tree_, refreshProgramTree(model_).root);
        ASSERT_NE(root_, nullptr);
        setApartAfterRefresh_ = model_.setApartProgram().assemblies;
        tips_.clear();
        wintest::pumpMessages(20);
    }

    HTREEITEM child(HTREEITEM parent, const Text& text) const {
        for (HTREEITEM item : tree_.listChildren(parent))
            if (tree_.itemText(item) == text)
                return item;
        ADD_FAILURE() << "no item " << text;
        return nullptr;
    }
    HTREEITEM top(const Text& text) const { return child(root_, text); }

    // The first five children of the root: the program items and "全局变量".
    Texts treeOrder() const {
        Texts texts = wintest::childTexts(tree_, root_);
        texts.resize(5);
        return texts;
    }
    Texts modelOrder() const {
        Texts names;
        for (const AssemblyRecord& record : model_.workingProgram().assemblies)
            names.push_back(record.name);
        return names;
    }
    // Tree and model agree on the order of the program items.
    void expectOrder(const Texts& order) const {
        Texts withGlobals = order;
        withGlobals.push_back(kGlobalsText);
        EXPECT_EQ(treeOrder(), withGlobals);
        EXPECT_EQ(modelOrder(), order);
        EXPECT_EQ(model_.setApartProgram().assemblies, setApartAfterRefresh_);
    }

    wintest::TreeWindow window_;
    DragState drag_;
    ProgramTree tree_{drag_};
    ProjectModel model_;
    HTREEITEM root_ = nullptr;
    std::vector<Text> tips_;
    std::vector<AssemblyRecord> setApartAfterRefresh_;
};

const Texts kStartOrder{"A1", kStartWindow, "A3", "A4"};

TEST_F(move_rules_win_test, set_apart_items_are_not_shown) {
    expectOrder(kStartOrder);
    ASSERT_EQ(setApartAfterRefresh_.size(), 2u);
    EXPECT_EQ(setApartAfterRefresh_[0].name, "X");
    EXPECT_EQ(setApartAfterRefresh_[1].name, "A5");
    for (HTREEITEM item : tree_.listDescendants(root_)) {
        EXPECT_NE(tree_.itemText(item), "A5");
        EXPECT_NE(tree_.itemText(item), "X");
    }
}

TEST_F(move_rules_win_test, each_row_of_the_move_table_is_a_real_drag) {
    struct Row {
        const char* what;
        Text dragged;
        Text target;  // kRootText for the root
        Half half;
        Texts order;
        Text tip;
    };
    const Row rows[] = {
        {"A1 onto the lower half of A3",
         "A1",
         "A3",
         Half::kLower,
         {kStartWindow, "A3", "A1", "A4"},
         report(kAssembly, "A1", kClass, "A3")},
        {"A1 onto the upper half of A3 goes after the item above",
         "A1",
         "A3",
         Half::kUpper,
         {kStartWindow, "A1", "A3", "A4"},
         report(kAssembly, "A1", kWindowAssembly, kStartWindow)},
        {"A4 onto the upper half of the window assembly",
         "A4",
         kStartWindow,
         Half::kUpper,
         {"A1", "A4", kStartWindow, "A3"},
         report(kAssembly, "A4", kWindowAssembly, kStartWindow)},
        {"A3 onto the root goes first",
         "A3",
         kRootText,
         Half::kLower,
         {"A3", "A1", kStartWindow, "A4"},
         report(kClass, "A3", kAssembly, "A1")},
        {"the window assembly onto the upper half of the globals goes last",
         kStartWindow,
         kGlobalsText,
         Half::kUpper,
         {"A1", "A3", "A4", kStartWindow},
         report(kWindowAssembly, kStartWindow, kAssembly, "A4")},
        {"the class upward onto the lower half of A1",
         "A3",
         "A1",
         Half::kLower,
         {"A1", "A3", kStartWindow, "A4"},
         report(kClass, "A3", kAssembly, "A1")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        reload();
        const HTREEITEM dragged = top(row.dragged);
        const HTREEITEM target = row.target == kRootText ? root_ : top(row.target);
        const TreeNodeTag tag = tree_.itemTag(dragged);
        wintest::dragItem(tree_, dragged, target, row.half);

        expectOrder(row.order);
        EXPECT_EQ(tips_, std::vector<Text>{row.tip});
        EXPECT_FALSE(drag_.dragging);
        // The moved node keeps its tag and is the selected copy; the record went whole.
        const HTREEITEM moved = top(row.dragged);
        EXPECT_EQ(tree_.itemTag(moved), tag);
        EXPECT_EQ(tree_.selectedItem(), moved);
        for (const AssemblyRecord& record : model_.workingProgram().assemblies) {
            if (record.name == row.dragged) {
                EXPECT_EQ(record.key.id, tag);
            }
        }
    }
}

TEST_F(move_rules_win_test, a_moved_class_keeps_its_subs_in_tree_and_model) {
    tree_.expand(top("A3"));
    wintest::pumpMessages(20);
    wintest::dragItem(tree_, top("A3"), top("A4"), Half::kLower);
    expectOrder({"A1", kStartWindow, "A4", "A3"});
    EXPECT_EQ(wintest::childTexts(tree_, top("A3")), Texts{"S3"});
    EXPECT_TRUE(tree_.isExpanded(top("A3")));
    ASSERT_EQ(model_.workingProgram().subs.size(), 1u);
    EXPECT_EQ(model_.workingProgram().subs[0].ownerId, 0x49000003u);
}

TEST_F(move_rules_win_test, refused_drops_leave_tree_and_model_alone) {
    tree_.expand(top("A3"));
    tree_.expand(top(kGlobalsText));
    wintest::pumpMessages(20);
    const HTREEITEM subOfA3 = child(top("A3"), "S3");
    const HTREEITEM global = child(top(kGlobalsText), "g1");
    const struct {
        const char* what;
        HTREEITEM dragged;
        HTREEITEM target;
        Half half;
        Text tip;
    } rows[] = {
        {"onto the lower half of the globals", top(kStartWindow), top(kGlobalsText), Half::kLower,
         kNotProgramItem},
        {"onto a sub without children", top(kStartWindow), subOfA3, Half::kUpper, kAcrossLevels},
        {"onto a global variable", top("A1"), global, Half::kLower, kAcrossLevels},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        tips_.clear();
        wintest::dragItem(tree_, row.dragged, row.target, row.half);
        EXPECT_EQ(tips_, std::vector<Text>{row.tip});
        expectOrder(kStartOrder);
        EXPECT_FALSE(drag_.dragging);
    }
}

TEST_F(move_rules_win_test, a_target_beyond_the_assembly_list_is_refused) {
    // The tree shows four program items, the model now holds three.
    model_.workingProgram().assemblies.pop_back();
    wintest::dragItem(tree_, top("A1"), top("A4"), Half::kLower);
    EXPECT_EQ(tips_, std::vector<Text>{kBeyondEnd});
    EXPECT_EQ(modelOrder(), (Texts{"A1", kStartWindow, "A3"}));
    EXPECT_EQ(treeOrder(), (Texts{"A1", kStartWindow, "A3", "A4", kGlobalsText}));
}

TEST_F(move_rules_win_test, drags_start_only_on_program_items) {
    tree_.expand(top("A3"));
    tree_.expand(top(kGlobalsText));
    wintest::pumpMessages(20);
    const struct {
        const char* what;
        HTREEITEM dragged;
        Text tip;
    } rows[] = {
        {"the root", root_, kRootNotMovable},
        {"a sub", child(top("A3"), "S3"), kSubNotMovable},
        {"a global variable", child(top(kGlobalsText), "g1"), kNotMovable},
        {"the globals group", top(kGlobalsText), kNotProgramItem},
        {"a resource group", tree_.listChildren(root_).back(), kNotProgramItem},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        tips_.clear();
        wintest::dragItem(tree_, row.dragged, top("A4"), Half::kLower);
        EXPECT_EQ(tips_, std::vector<Text>{row.tip});
        EXPECT_FALSE(drag_.dragging);
        expectOrder(kStartOrder);
    }
}

TEST_F(move_rules_win_test, drops_already_in_place_never_reach_the_model) {
    const struct {
        Text dragged;
        Text target;
        Half half;
    } rows[] = {
        {"A1", kStartWindow, Half::kUpper},
        {kStartWindow, "A1", Half::kLower},
        {"A3", "A3", Half::kLower},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.dragged + " onto " + row.target);
        wintest::dragItem(tree_, top(row.dragged), top(row.target), row.half);
        EXPECT_TRUE(tips_.empty());
        expectOrder(kStartOrder);
    }
}

TEST_F(move_rules_win_test, moves_in_a_row_keep_tree_and_model_equal) {
    wintest::dragItem(tree_, top("A1"), top("A4"), Half::kLower);
    wintest::dragItem(tree_, top("A4"), root_, Half::kUpper);
    wintest::dragItem(tree_, top("A3"), top(kStartWindow), Half::kUpper);
    expectOrder({"A4", "A3", kStartWindow, "A1"});
    EXPECT_EQ(tips_.size(), 3u);

    // A refresh shows the model's order.
    root_ = fillTreeView(tree_, refreshProgramTree(model_).root);
    expectOrder({"A4", "A3", kStartWindow, "A1"});
}

}  // namespace
}  // namespace ramulet
