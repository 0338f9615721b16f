// Showing a built program tree in a real tree-view control, and the tree's pictures.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <vector>

#include "tree/tree_images.h"
#include "tree/tree_view_fill.h"
#include "win_ui_support.h"

namespace ramulet {
namespace {

TreeNode node(Text text, int image, TreeNodeTag tag, std::vector<TreeNode> children = {}) {
    return TreeNode{std::move(text), image, tag, std::move(children)};
}

// Reads an item and its subtree back from the control, with the selected image checked
// against the normal one.
TreeNode readBack(const ProgramTree& tree, HTREEITEM item) {
    TVITEMW data{};
    data.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    data.hItem = item;
    tree.sendTreeMessage(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
    EXPECT_EQ(data.iSelectedImage, data.iImage) << tree.itemText(item);
    TreeNode read{tree.itemText(item), data.iImage, tree.itemTag(item), {}};
    for (HTREEITEM child : tree.listChildren(item))
        read.children.push_back(readBack(tree, child));
    return read;
}

class tree_view_win_test : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(window_.valid());
        ASSERT_TRUE(tree_.attach(window_.tree()));
    }

    wintest::TreeWindow window_;
    DragState drag_;
    ProgramTree tree_{drag_};
};

// 程序数据
const Text kRootText = "\xb3\xcc\xd0\xf2\xca\xfd\xbe\xdd";

TreeNode sampleContent() {
    return node(
        kRootText, 0, 0,
        {node("A1", 1, 0x09000001, {node("S1", 11, 0x04000001), node("S2", 11, 0x04000002)}),
         node("W1", 2, 0x19000002, {node("S3", 11, 0x04000003)}),
         node("", 1, 0x49000003),  // an empty name still gets its node
         node("G", 3, 3, {node("g1", 3, 0x05000001)}),
         node("R", 7, 0, {node("sounds", 13, 6), node("pictures", 14, 6)})});
}

TEST_F(tree_view_win_test, fill_shows_the_hierarchy_in_order_and_expands_only_the_root) {
    const TreeNode content = sampleContent();
    const HTREEITEM root = fillTreeView(tree_, content);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(tree_.firstChild(nullptr), root);
    EXPECT_EQ(tree_.nextSibling(root), nullptr);
    EXPECT_EQ(readBack(tree_, root), content);

    EXPECT_TRUE(tree_.isExpanded(root));
    for (HTREEITEM item : tree_.listDescendants(root))
        EXPECT_FALSE(tree_.isExpanded(item)) << tree_.itemText(item);
}

TEST_F(tree_view_win_test, fill_replaces_what_the_tree_showed) {
    tree_.insertItem(TVI_ROOT, "old");
    const TreeNode content = sampleContent();
    fillTreeView(tree_, content);
    const HTREEITEM root = fillTreeView(tree_, content);
    EXPECT_EQ(tree_.itemCount(), 12);
    EXPECT_EQ(tree_.nextSibling(root), nullptr);
    EXPECT_EQ(readBack(tree_, root), content);

    // A bare root.
    const HTREEITEM alone = fillTreeView(tree_, node("only", 0, 0));
    EXPECT_EQ(tree_.itemCount(), 1);
    EXPECT_EQ(tree_.itemText(alone), "only");
}

TEST_F(tree_view_win_test, add_tree_node_appends_with_one_image) {
    const HTREEITEM top = addTreeNode(tree_, 4, "top", 4, nullptr);
    const HTREEITEM first = addTreeNode(tree_, 12, "first", 0x0A000001, top);
    const HTREEITEM second = addTreeNode(tree_, 12, "second", 0x0A000002, top);
    EXPECT_EQ(tree_.parentItem(top), nullptr);
    EXPECT_EQ(tree_.listChildren(top), (std::vector{first, second}));
    EXPECT_EQ(readBack(tree_, top),
              node("top", 4, 4, {node("first", 12, 0x0A000001), node("second", 12, 0x0A000002)}));
}

// The pixels of one picture drawn with its mask over a plain background.
std::vector<uint32_t> pixelsOf(HIMAGELIST images, int index) {
    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kTreeImageSize;
    info.bmiHeader.biHeight = -kTreeImageSize;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap)
        return {};
    std::vector<uint32_t> pixels(kTreeImageSize * kTreeImageSize);
    {
        ScopedSelect select(dc.get(), bitmap.get());
        const RECT all{0, 0, kTreeImageSize, kTreeImageSize};
        UniqueBrush background(CreateSolidBrush(RGB(1, 2, 3)));
        FillRect(dc.get(), &all, background.get());
        ImageList_Draw(images, index, dc.get(), 0, 0, ILD_NORMAL);
        GdiFlush();
        std::memcpy(pixels.data(), bits, pixels.size() * sizeof(uint32_t));
    }
    return pixels;
}

TEST_F(tree_view_win_test, images_are_fifteen_distinct_masked_pictures) {
    const UniqueImageList images = makeProgramTreeImages();
    ASSERT_TRUE(images);
    EXPECT_EQ(ImageList_GetImageCount(images.get()), kTreeImageCount);
    int width = 0;
    int height = 0;
    ASSERT_TRUE(ImageList_GetIconSize(images.get(), &width, &height));
    EXPECT_EQ(width, 16);
    EXPECT_EQ(height, 16);

    constexpr uint32_t kBackground = 0x010203;  // RGB(1, 2, 3) as a DIB pixel
    std::set<std::vector<uint32_t>> seen;
    for (int index = 0; index < kTreeImageCount; ++index) {
        SCOPED_TRACE(index);
        const std::vector<uint32_t> pixels = pixelsOf(images.get(), index);
        ASSERT_EQ(pixels.size(), 256u);
        int transparent = 0;
        for (uint32_t pixel : pixels)
            transparent += (pixel & 0xFFFFFF) == kBackground;
        EXPECT_GT(transparent, 0);    // the mask lets the background through somewhere
        EXPECT_LE(transparent, 240);  // and a picture of some size
        EXPECT_TRUE(seen.insert(pixels).second) << "the same picture twice";
    }
}

TEST_F(tree_view_win_test, the_tree_uses_the_images_and_drags_with_them) {
    const UniqueImageList images = makeProgramTreeImages();
    ASSERT_TRUE(images);
    EXPECT_EQ(setTreeImages(tree_, images.get()), nullptr);
    EXPECT_EQ(
        reinterpret_cast<HIMAGELIST>(tree_.sendTreeMessage(TVM_GETIMAGELIST, TVSIL_NORMAL, 0)),
        images.get());

    const HTREEITEM root = fillTreeView(tree_, sampleContent());
    const UniqueImageList dragImage(reinterpret_cast<HIMAGELIST>(tree_.sendTreeMessage(
        TVM_CREATEDRAGIMAGE, 0, reinterpret_cast<LPARAM>(tree_.firstChild(root)))));
    EXPECT_TRUE(dragImage);

    EXPECT_EQ(setTreeImages(tree_, nullptr), images.get());
}

}  // namespace
}  // namespace ramulet
