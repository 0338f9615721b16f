// The tree-view wrapper on a real tree-view control, and its drag-and-drop state machine
// driven by real mouse input.
#include "tree/program_tree.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win_ui_support.h"

namespace ramulet {
namespace {

using wintest::childTexts;
using wintest::Half;
using wintest::ItemsByText;
using wintest::TreeWindow;

using Texts = std::vector<std::string>;

TreeNode node(std::string text, int image, TreeNodeTag tag, std::vector<TreeNode> children = {}) {
    return TreeNode{std::move(text), image, tag, std::move(children)};
}

// R
// ├ A1 ─ S1 ─ V1
// │    └ S2
// ├ A2, A3, A4
// └ G ─ g1
TreeNode sampleTree() {
    return node("R", 0, 0,
                {node("A1", 1, 0x09000001,
                      {node("S1", 11, 0x04000001, {node("V1", 3, 0x25000001)}),
                       node("S2", 11, 0x04000002)}),
                 node("A2", 2, 0x19000002), node("A3", 1, 0x49000003), node("A4", 1, 0x09000004),
                 node("G", 3, 3, {node("g1", 3, 0x05000001)})});
}

struct ItemImages {
    int image = 0;
    int selected = 0;
};

ItemImages imagesOf(const ProgramTree& tree, HTREEITEM item) {
    TVITEMW data{};
    data.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    data.hItem = item;
    tree.sendTreeMessage(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
    return {data.iImage, data.iSelectedImage};
}

class program_tree_win_test : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(window_.valid());
        ASSERT_TRUE(tree_.attach(window_.tree()));
        root_ = wintest::insertNodes(tree_, sampleTree(), TVI_ROOT, items_);
        tree_.expand(root_);
        wintest::pumpMessages(20);
    }

    HTREEITEM item(const std::string& text) { return items_.at(text); }

    Texts topLevelOrder() const { return childTexts(tree_, root_); }

    // Handlers that say yes and write down when they were asked.
    void recordHandlers() {
        tree_.setMayBeginDragHandler([this](HWND tree, HTREEITEM dragged, HTREEITEM target, bool) {
            EXPECT_EQ(tree, window_.tree());
            EXPECT_EQ(target, nullptr);
            events_.push_back("may " + tree_.itemText(dragged));
            return true;
        });
        tree_.setDragOverHandler([this](HWND, HTREEITEM, HTREEITEM, bool) { ++dragOvers_; });
        tree_.setBeforeDropHandler(
            [this](HWND, HTREEITEM* dragged, HTREEITEM* target, bool* after) {
                events_.push_back("before " + tree_.itemText(*dragged) +
                                  (*after ? " after " : " before ") + tree_.itemText(*target));
                return true;
            });
        tree_.setAfterDropHandler([this](HWND, HTREEITEM dragged, HTREEITEM target,
                                         HTREEITEM newItem) {
            events_.push_back("after " + tree_.itemText(dragged) + " " + tree_.itemText(target));
            newItem_ = newItem;
            return true;
        });
    }

    TreeWindow window_;
    DragState drag_;
    ProgramTree tree_{drag_};
    ItemsByText items_;
    HTREEITEM root_ = nullptr;
    std::vector<std::string> events_;
    int dragOvers_ = 0;
    HTREEITEM newItem_ = nullptr;
};

const Texts kSampleOrder{"A1", "A2", "A3", "A4", "G"};

// --- Binding -------------------------------------------------------------------------------------

TEST_F(program_tree_win_test, attach_binds_once_and_detach_restores_the_procedures) {
    TreeWindow other(450);  // beside the first, which stays free for the mouse
    ASSERT_TRUE(other.valid());
    EXPECT_FALSE(tree_.attach(window_.tree()));
    EXPECT_FALSE(tree_.attach(other.tree()));
    EXPECT_EQ(tree_.treeWindow(), window_.tree());
    EXPECT_EQ(tree_.topLevelWindow(), window_.window());

    // The first binding still works: a drag moves the item.
    wintest::dragItem(tree_, item("A1"), item("A2"), Half::kLower);
    EXPECT_EQ(topLevelOrder(), (Texts{"A2", "A1", "A3", "A4", "G"}));

    EXPECT_TRUE(tree_.detach());
    EXPECT_FALSE(tree_.attached());
    EXPECT_EQ(tree_.treeWindow(), nullptr);
    // With the control's own procedure back, the same gesture moves nothing.
    wintest::dragItem(tree_, item("A3"), item("A4"), Half::kLower);
    ProgramTree reader(drag_);
    ASSERT_TRUE(reader.attach(window_.tree()));
    EXPECT_EQ(childTexts(reader, root_), (Texts{"A2", "A1", "A3", "A4", "G"}));
    EXPECT_FALSE(drag_.dragging);
}

TEST_F(program_tree_win_test, attach_refuses_what_is_no_window_or_has_no_owner) {
    DragState drag;
    ProgramTree tree(drag);
    EXPECT_FALSE(tree.attach(nullptr));
    EXPECT_FALSE(tree.attach(reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7ff0))));
    EXPECT_FALSE(tree.attached());
    EXPECT_EQ(tree.treeWindow(), nullptr);
    EXPECT_EQ(tree.topLevelWindow(), nullptr);

    // A tree-view that is itself a top-level window is its own root owner.
    UniqueWindow lone(CreateWindowExW(0, WC_TREEVIEWW, L"", WS_POPUP, 0, 0, 100, 100, nullptr,
                                      nullptr, GetModuleHandleW(nullptr), nullptr));
    ASSERT_TRUE(lone);
    EXPECT_FALSE(tree.attach(lone.get()));
    EXPECT_FALSE(tree.attached());

    TreeWindow window;
    ASSERT_TRUE(window.valid());
    EXPECT_TRUE(tree.attach(window.tree()));
}

TEST_F(program_tree_win_test, destroying_the_window_releases_the_binding) {
    DragState drag;
    ProgramTree tree(drag);
    {
        TreeWindow window;
        ASSERT_TRUE(window.valid());
        ASSERT_TRUE(tree.attach(window.tree()));
    }
    EXPECT_EQ(tree.treeWindow(), nullptr);
    EXPECT_EQ(tree.topLevelWindow(), nullptr);
    TreeWindow next;
    EXPECT_TRUE(tree.attach(next.tree()));
}

// --- Navigation ----------------------------------------------------------------------------------

TEST_F(program_tree_win_test, item_levels_count_the_item_and_its_ancestors) {
    EXPECT_EQ(tree_.itemLevel(root_), 1);
    EXPECT_EQ(tree_.itemLevel(item("A1")), 2);
    EXPECT_EQ(tree_.itemLevel(item("G")), 2);
    EXPECT_EQ(tree_.itemLevel(item("S1")), 3);
    EXPECT_EQ(tree_.itemLevel(item("V1")), 4);
    EXPECT_EQ(tree_.itemLevel(nullptr), 0);
}

TEST_F(program_tree_win_test, navigation_follows_the_tree) {
    EXPECT_EQ(tree_.firstChild(nullptr), root_);
    EXPECT_EQ(tree_.firstChild(root_), item("A1"));
    EXPECT_EQ(tree_.firstChild(item("A2")), nullptr);
    EXPECT_EQ(tree_.parentItem(item("S1")), item("A1"));
    EXPECT_EQ(tree_.parentItem(root_), nullptr);
    EXPECT_EQ(tree_.nextSibling(item("A1")), item("A2"));
    EXPECT_EQ(tree_.nextSibling(item("G")), nullptr);
    EXPECT_EQ(tree_.previousSibling(item("A2")), item("A1"));
    EXPECT_EQ(tree_.previousSibling(item("A1")), nullptr);
    EXPECT_TRUE(tree_.hasChildren(item("A1")));
    EXPECT_FALSE(tree_.hasChildren(item("A2")));
    EXPECT_EQ(tree_.itemCount(), 10);
    EXPECT_EQ(tree_.listChildren(item("A1")), (std::vector{item("S1"), item("S2")}));
    EXPECT_TRUE(tree_.listChildren(item("A4")).empty());
}

TEST_F(program_tree_win_test, sibling_lists_give_one_based_positions) {
    const SiblingList ofA3 = tree_.listSiblings(item("A3"));
    EXPECT_EQ(ofA3.items, (std::vector{item("A1"), item("A2"), item("A3"), item("A4"), item("G")}));
    EXPECT_EQ(ofA3.position, 3);
    EXPECT_EQ(tree_.listSiblings(item("A1")).position, 1);
    EXPECT_EQ(tree_.listSiblings(item("G")).position, 5);

    // Top-level items are siblings of each other.
    const HTREEITEM second = tree_.insertItem(TVI_ROOT, "second root");
    const SiblingList ofSecond = tree_.listSiblings(second);
    EXPECT_EQ(ofSecond.items, (std::vector{root_, second}));
    EXPECT_EQ(ofSecond.position, 2);
    EXPECT_EQ(tree_.listSiblings(root_).position, 1);

    EXPECT_TRUE(tree_.listSiblings(nullptr).items.empty());
}

TEST_F(program_tree_win_test, descendants_come_depth_first_without_the_item) {
    std::vector<std::string> texts;
    for (HTREEITEM descendant : tree_.listDescendants(root_))
        texts.push_back(tree_.itemText(descendant));
    EXPECT_EQ(texts, (Texts{"A1", "S1", "V1", "S2", "A2", "A3", "A4", "G", "g1"}));
    EXPECT_EQ(tree_.listDescendants(item("S1")), std::vector{item("V1")});
    EXPECT_TRUE(tree_.listDescendants(item("V1")).empty());
    EXPECT_TRUE(tree_.listDescendants(item("A2")).empty());

    EXPECT_TRUE(tree_.isDescendant(item("V1"), item("A1")));
    EXPECT_TRUE(tree_.isDescendant(item("S1"), item("A1")));
    EXPECT_FALSE(tree_.isDescendant(item("A1"), item("A1")));
    EXPECT_FALSE(tree_.isDescendant(item("A2"), item("A1")));
}

TEST_F(program_tree_win_test, hit_test_finds_the_item_under_a_label) {
    TVHITTESTINFO info{};
    EXPECT_EQ(tree_.hitTest(wintest::labelPoint(tree_, item("A2")), info), item("A2"));
    EXPECT_EQ(info.hItem, item("A2"));
    EXPECT_NE(info.flags & TVHT_ONITEMLABEL, 0u);

    RECT client{};
    GetClientRect(window_.tree(), &client);
    TVHITTESTINFO below{};
    EXPECT_EQ(tree_.hitTest({10, client.bottom - 5}, below), nullptr);
}

// --- Item data -----------------------------------------------------------------------------------

TEST_F(program_tree_win_test, insert_item_sets_the_images_it_is_given) {
    struct Case {
        std::optional<int> image;
        std::optional<int> selected;
        ItemImages expected;
    };
    const Case cases[] = {
        // No image flags: the control keeps its default picture, the first one.
        {std::nullopt, std::nullopt, {0, 0}},
        {3, std::nullopt, {3, 3}},
        {3, 4, {3, 4}},
        {14, 2, {14, 2}},
    };
    for (const Case& c : cases) {
        const HTREEITEM inserted = tree_.insertItem(root_, "x", c.image, c.selected, 7);
        ASSERT_NE(inserted, nullptr);
        const ItemImages images = imagesOf(tree_, inserted);
        EXPECT_EQ(images.image, c.expected.image);
        EXPECT_EQ(images.selected, c.expected.selected);
        EXPECT_EQ(tree_.itemTag(inserted), 7u);
        EXPECT_EQ(tree_.parentItem(inserted), root_);
        EXPECT_EQ(tree_.nextSibling(inserted), nullptr);  // appended last
    }
    // An insert-after item places it there.
    const HTREEITEM placed =
        tree_.insertItem(root_, "after A1", std::nullopt, std::nullopt, 0, item("A1"));
    EXPECT_EQ(tree_.previousSibling(placed), item("A1"));
    EXPECT_EQ(tree_.nextSibling(placed), item("A2"));
}

TEST_F(program_tree_win_test, texts_are_gbk_outside_and_utf16_inside) {
    // 程序数据
    const Text rootText = "\xb3\xcc\xd0\xf2\xca\xfd\xbe\xdd";
    const HTREEITEM chinese = tree_.insertItem(root_, rootText);
    wchar_t buffer[32] = {};
    TVITEMW data{};
    data.mask = TVIF_TEXT;
    data.hItem = chinese;
    data.pszText = buffer;
    data.cchTextMax = 32;
    ASSERT_TRUE(tree_.sendTreeMessage(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data)));
    EXPECT_EQ(std::wstring(data.pszText), L"\u7a0b\u5e8f\u6570\u636e");
    EXPECT_EQ(tree_.itemText(chinese), rootText);

    // 窗口
    const Text window = "\xb4\xb0\xbf\xda";
    EXPECT_TRUE(tree_.setItemText(chinese, window));
    EXPECT_EQ(tree_.itemText(chinese), window);

    // A text longer than the read buffer comes back cut to 259 units.
    const HTREEITEM longItem = tree_.insertItem(root_, Text(300, 'a'));
    EXPECT_EQ(tree_.itemText(longItem), Text(259, 'a'));

    EXPECT_EQ(tree_.itemText(tree_.insertItem(root_, "")), "");
    EXPECT_EQ(tree_.itemText(nullptr), "");
}

TEST_F(program_tree_win_test, tags_keep_all_32_bits) {
    for (TreeNodeTag tag : {0xFF000001u, 0x80000000u, 0x49000005u, 0xFFFFFFFFu, 0u}) {
        const HTREEITEM inserted = tree_.insertItem(root_, "t", std::nullopt, std::nullopt, tag);
        EXPECT_EQ(tree_.itemTag(inserted), tag);
        EXPECT_TRUE(tree_.setItemTag(inserted, tag ^ 0x00FF00FFu));
        EXPECT_EQ(tree_.itemTag(inserted), tag ^ 0x00FF00FFu);
    }
    EXPECT_EQ(tree_.itemTag(item("A3")), 0x49000003u);
}

TEST_F(program_tree_win_test, copy_subtree_rebuilds_three_levels_and_leaves_the_source) {
    tree_.expand(item("A1"));
    tree_.expand(item("S1"));
    tree_.collapse(item("A1"));  // S1 stays expanded inside a collapsed A1

    const HTREEITEM copy = tree_.copySubtree(item("A1"), root_, item("A4"));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(tree_.previousSibling(copy), item("A4"));
    EXPECT_EQ(tree_.itemCount(), 14);

    const auto expectSame = [&](HTREEITEM original, HTREEITEM copied) {
        EXPECT_NE(original, copied);
        EXPECT_EQ(tree_.itemText(copied), tree_.itemText(original));
        EXPECT_EQ(tree_.itemTag(copied), tree_.itemTag(original));
        EXPECT_EQ(imagesOf(tree_, copied).image, imagesOf(tree_, original).image);
        EXPECT_EQ(imagesOf(tree_, copied).selected, imagesOf(tree_, original).selected);
        EXPECT_EQ(tree_.isExpanded(copied), tree_.isExpanded(original));
    };
    expectSame(item("A1"), copy);
    const std::vector<HTREEITEM> copiedChildren = tree_.listChildren(copy);
    ASSERT_EQ(copiedChildren.size(), 2u);
    expectSame(item("S1"), copiedChildren[0]);
    expectSame(item("S2"), copiedChildren[1]);
    const std::vector<HTREEITEM> copiedGrandchildren = tree_.listChildren(copiedChildren[0]);
    ASSERT_EQ(copiedGrandchildren.size(), 1u);
    expectSame(item("V1"), copiedGrandchildren[0]);
    EXPECT_TRUE(tree_.isExpanded(copiedChildren[0]));
    EXPECT_FALSE(tree_.isExpanded(copy));

    // The source is where it was, with its children.
    EXPECT_EQ(topLevelOrder(), (Texts{"A1", "A2", "A3", "A4", "A1", "G"}));
    EXPECT_EQ(tree_.listChildren(item("A1")), (std::vector{item("S1"), item("S2")}));

    // At the front of a list, and of a failed read.
    const HTREEITEM first = tree_.copySubtree(item("A4"), root_, TVI_FIRST);
    EXPECT_EQ(tree_.firstChild(root_), first);
    EXPECT_EQ(tree_.copySubtree(nullptr, root_, TVI_LAST), nullptr);
}

TEST_F(program_tree_win_test, state_operations_report_what_the_control_did) {
    EXPECT_TRUE(tree_.selectItem(item("A2")));
    EXPECT_EQ(tree_.selectedItem(), item("A2"));

    EXPECT_FALSE(tree_.isExpanded(item("A1")));
    EXPECT_TRUE(tree_.expand(item("A1")));
    EXPECT_TRUE(tree_.isExpanded(item("A1")));
    EXPECT_TRUE(tree_.collapse(item("A1")));
    EXPECT_FALSE(tree_.isExpanded(item("A1")));
    tree_.ensureVisible(item("V1"));  // false: it had to expand the ancestors
    EXPECT_TRUE(tree_.isExpanded(item("A1")));
    EXPECT_TRUE(tree_.isExpanded(item("S1")));

    EXPECT_TRUE(tree_.setBold(item("A3")));
    EXPECT_NE(
        tree_.sendTreeMessage(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item("A3")), TVIS_BOLD) &
            TVIS_BOLD,
        0);
    EXPECT_TRUE(tree_.clearBold(item("A3")));
    EXPECT_EQ(
        tree_.sendTreeMessage(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item("A3")), TVIS_BOLD) &
            TVIS_BOLD,
        0);

    EXPECT_TRUE(tree_.setItemImage(item("A4"), 9));
    EXPECT_EQ(imagesOf(tree_, item("A4")).image, 9);

    tree_.setInsertMarkColor(RGB(1, 2, 3));
    EXPECT_EQ(tree_.setInsertMarkColor(0x606060), RGB(1, 2, 3));
    EXPECT_TRUE(tree_.setInsertMark(item("A2"), true));

    EXPECT_FALSE(tree_.disabled());
    tree_.disabled(true);
    EXPECT_TRUE(tree_.disabled());
    tree_.disabled(false);
    EXPECT_FALSE(tree_.disabled());
    EXPECT_FALSE(tree_.visible());  // reading reports hidden
    tree_.visible(false);
    EXPECT_TRUE(tree_.visible());
    tree_.visible(true);

    EXPECT_TRUE(tree_.deleteItem(item("A4")));
    EXPECT_EQ(topLevelOrder(), (Texts{"A1", "A2", "A3", "G"}));
    EXPECT_TRUE(tree_.clear());
    EXPECT_EQ(tree_.itemCount(), 0);
    EXPECT_EQ(tree_.firstChild(nullptr), nullptr);
}

// --- Drag and drop -------------------------------------------------------------------------------

TEST_F(program_tree_win_test, drop_on_the_lower_half_three_places_down_moves_the_whole_subtree) {
    recordHandlers();
    tree_.expand(item("A1"));
    wintest::pumpMessages(20);
    wintest::dragItem(tree_, item("A1"), item("A4"), Half::kLower);

    EXPECT_EQ(topLevelOrder(), (Texts{"A2", "A3", "A4", "A1", "G"}));
    EXPECT_EQ(events_, (Texts{"may A1", "before A1 after A4", "after A1 A4"}));
    EXPECT_GT(dragOvers_, 0);
    EXPECT_FALSE(drag_.dragging);
    EXPECT_EQ(GetCapture(), nullptr);

    // The copy stands after A4 with the same children, is selected, and the original is gone.
    const HTREEITEM moved = tree_.nextSibling(item("A4"));
    EXPECT_EQ(moved, newItem_);
    EXPECT_EQ(tree_.selectedItem(), moved);
    EXPECT_EQ(tree_.itemTag(moved), 0x09000001u);
    EXPECT_EQ(imagesOf(tree_, moved).image, 1);
    EXPECT_EQ(childTexts(tree_, moved), (Texts{"S1", "S2"}));
    EXPECT_EQ(childTexts(tree_, tree_.firstChild(moved)), Texts{"V1"});
    EXPECT_EQ(tree_.itemTag(tree_.firstChild(tree_.firstChild(moved))), 0x25000001u);
    EXPECT_EQ(tree_.itemCount(), 10);
}

TEST_F(program_tree_win_test, drop_on_the_upper_half_goes_before_the_target) {
    recordHandlers();
    wintest::dragItem(tree_, item("A4"), item("A2"), Half::kUpper);
    EXPECT_EQ(topLevelOrder(), (Texts{"A1", "A4", "A2", "A3", "G"}));
    EXPECT_EQ(events_, (Texts{"may A4", "before A4 before A2", "after A4 A2"}));

    // The middle line of a label counts as its upper half.
    events_.clear();
    wintest::dragItem(tree_, item("A3"), tree_.firstChild(root_), Half::kMiddle);
    EXPECT_EQ(topLevelOrder(), (Texts{"A3", "A1", "A4", "A2", "G"}));
    EXPECT_EQ(events_, (Texts{"may A3", "before A3 before A1", "after A3 A1"}));
}

TEST_F(program_tree_win_test, drops_that_change_nothing_never_ask_the_before_drop_handler) {
    recordHandlers();
    tree_.expand(item("A1"));
    tree_.expand(item("S1"));
    wintest::pumpMessages(20);
    struct Case {
        const char* dragged;
        const char* target;
        Half half;
    };
    const Case cases[] = {
        {"A2", "A3", Half::kUpper},  // already before A3
        {"A2", "A1", Half::kLower},  // already after A1
        {"A2", "A2", Half::kLower},  // onto itself
        {"A1", "S1", Half::kLower},  // onto its own child
        {"A1", "V1", Half::kUpper},  // onto a deeper descendant
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.dragged) + " onto " + c.target);
        events_.clear();
        wintest::dragItem(tree_, item(c.dragged), item(c.target), c.half);
        EXPECT_EQ(events_, Texts{std::string("may ") + c.dragged});
        EXPECT_EQ(topLevelOrder(), kSampleOrder);
        EXPECT_EQ(childTexts(tree_, item("A1")), (Texts{"S1", "S2"}));
        EXPECT_FALSE(drag_.dragging);
        EXPECT_EQ(tree_.itemCount(), 10);
    }
}

TEST_F(program_tree_win_test, click_without_moving_leaves_drag_mode_on_the_next_move) {
    recordHandlers();
    wintest::clickInClient(window_.tree(), wintest::labelPoint(tree_, item("A3")));
    EXPECT_EQ(events_, Texts{"may A3"});
    EXPECT_FALSE(drag_.dragging);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(tree_.selectedItem(), item("A3"));
    EXPECT_EQ(topLevelOrder(), kSampleOrder);
}

TEST_F(program_tree_win_test, press_on_the_expand_button_never_drags) {
    recordHandlers();
    const POINT button = wintest::expandButtonPoint(tree_, item("A1"));
    ASSERT_GE(button.x, 0);
    ASSERT_FALSE(tree_.isExpanded(item("A1")));
    wintest::clickInClient(window_.tree(), button);
    EXPECT_TRUE(events_.empty());
    EXPECT_FALSE(drag_.dragging);
    EXPECT_TRUE(tree_.isExpanded(item("A1")));  // the control's own handling ran
    wintest::clickInClient(window_.tree(), button);
    EXPECT_FALSE(tree_.isExpanded(item("A1")));
    EXPECT_TRUE(events_.empty());
}

TEST_F(program_tree_win_test, release_outside_the_tree_moves_nothing) {
    recordHandlers();
    RECT client{};
    GetClientRect(window_.tree(), &client);
    const POINT start = wintest::labelPoint(tree_, item("A1"));
    const POINT outside{client.right + 25, wintest::labelPoint(tree_, item("A3")).y};
    wintest::dragInClient(window_.tree(), start, outside);
    EXPECT_EQ(events_, Texts{"may A1"});
    EXPECT_GT(dragOvers_, 0);  // the capture brought the moves outside to the tree
    EXPECT_EQ(drag_.target, nullptr);
    EXPECT_FALSE(drag_.dragging);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(topLevelOrder(), kSampleOrder);
}

TEST_F(program_tree_win_test, may_begin_handler_refusing_means_no_drag) {
    recordHandlers();
    tree_.setMayBeginDragHandler([this](HWND, HTREEITEM dragged, HTREEITEM, bool) {
        events_.push_back("refused " + tree_.itemText(dragged));
        return false;
    });
    wintest::dragItem(tree_, item("A1"), item("A3"), Half::kLower);
    EXPECT_EQ(events_, Texts{"refused A1"});
    EXPECT_EQ(dragOvers_, 0);
    EXPECT_FALSE(drag_.dragging);
    EXPECT_EQ(topLevelOrder(), kSampleOrder);
}

TEST_F(program_tree_win_test, before_drop_handler_refuses_or_moves_the_drop_place) {
    recordHandlers();
    tree_.setBeforeDropHandler([](HWND, HTREEITEM*, HTREEITEM*, bool*) { return false; });
    wintest::dragItem(tree_, item("A1"), item("A3"), Half::kLower);
    EXPECT_EQ(topLevelOrder(), kSampleOrder);
    EXPECT_EQ(events_, Texts{"may A1"});  // no copy, so the after-drop handler is not asked
    EXPECT_EQ(tree_.itemCount(), 10);

    // The drop uses the place the handler leaves.
    tree_.setBeforeDropHandler([this](HWND, HTREEITEM*, HTREEITEM* target, bool* after) {
        *target = item("A4");
        *after = true;
        return true;
    });
    events_.clear();
    wintest::dragItem(tree_, item("A1"), item("A2"), Half::kLower);
    EXPECT_EQ(topLevelOrder(), (Texts{"A2", "A3", "A4", "A1", "G"}));
    EXPECT_EQ(events_, (Texts{"may A1", "after A1 A4"}));
}

TEST_F(program_tree_win_test, after_drop_handler_saying_no_keeps_the_dragged_item) {
    recordHandlers();
    tree_.setAfterDropHandler([](HWND, HTREEITEM, HTREEITEM, HTREEITEM) { return false; });
    wintest::dragItem(tree_, item("A1"), item("A3"), Half::kLower);
    EXPECT_EQ(topLevelOrder(), (Texts{"A1", "A2", "A3", "A1", "A4", "G"}));
    EXPECT_EQ(tree_.itemCount(), 14);
}

}  // namespace
}  // namespace ramulet
