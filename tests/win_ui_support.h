// Real windows and real mouse input for the window tests under Windows or Wine: a top-level
// window with a tree-view child, message pumping, and drags driven through SendInput.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <map>
#include <string>
#include <vector>

#include "tree/program_tree.h"
#include "tree/tree_node.h"
#include "tree/win32_handles.h"

namespace ramulet::wintest {

// A visible, topmost window at (left, 50) holding a tree box at its client origin, 245 x 449
// like the main window's. Destroying the window destroys the tree.
class TreeWindow {
  public:
    explicit TreeWindow(int left = 50);
    HWND window() const { return window_.get(); }
    HWND tree() const { return tree_; }
    bool valid() const { return window_ && tree_ != nullptr; }

  private:
    UniqueWindow window_;
    HWND tree_ = nullptr;  // owned by window_
};

// Dispatches every message that arrives during the next `milliseconds`.
void pumpMessages(DWORD milliseconds);

// One step of mouse input: a move to a screen point, or a left button press or release where
// the cursor is.
struct MouseStep {
    enum Kind { kMove, kPress, kRelease } kind;
    POINT screen{};
};

// Sends the steps with SendInput from a second thread, a short pause after each, while this
// thread dispatches messages (the control runs a modal loop of its own at a press, so the
// input cannot come from the thread that owns the window). Returns once all steps are
// delivered and the queue has settled.
void playMouse(const std::vector<MouseStep>& steps);

// The screen point of a client point of `window`.
POINT toScreen(HWND window, POINT client);

// A press at `from`, a move in several steps to `to` and a release there (client
// coordinates of `window`).
void dragInClient(HWND window, POINT from, POINT to);

// A press and a release at one client point, then a small move with no button held.
void clickInClient(HWND window, POINT at);

// Where on an item's label a drag ends: the upper half means before the item, the lower half
// after it; the middle line counts as the upper half.
enum class Half { kUpper, kMiddle, kLower };

// A client point on the label of `item`.
POINT labelPoint(const ProgramTree& tree, HTREEITEM item, Half half = Half::kMiddle);

// Drags `from` by the middle of its label onto `to` at the given half.
void dragItem(const ProgramTree& tree, HTREEITEM from, HTREEITEM to, Half half);

// A client point on the expand button of `item`, found by hit testing along its row;
// {-1, -1} when it has none.
POINT expandButtonPoint(const ProgramTree& tree, HTREEITEM item);

// Inserts `node` and its subtree under `parent` and records every item by its text.
using ItemsByText = std::map<std::string, HTREEITEM>;
HTREEITEM insertNodes(ProgramTree& tree, const TreeNode& node, HTREEITEM parent,
                      ItemsByText& items);

// The texts of an item's children, in tree order.
std::vector<std::string> childTexts(const ProgramTree& tree, HTREEITEM item);

}  // namespace ramulet::wintest
