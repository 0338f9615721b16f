// ProgramTree: the wrapper through which the program drives the main window's tree-view
// control, and the drag-and-drop moving of its items.
//
// The wrapper binds itself to the tree window and to the tree's top-level window by
// subclassing both (SetWindowSubclass with this object as reference data). The top-level
// binding sends the tree's own notifications back to the tree, where the drag state machine
// (treeWindowProc) takes the mouse capture back after the control's drag detection has let it
// go. Item texts are GBK; the control is always spoken to with its Unicode messages.
//
// Everything here runs on the thread that owns the windows.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <optional>
#include <vector>

#include "container/bytes.h"
#include "tree/tree_node.h"
#include "tree/win32_handles.h"

namespace ramulet {

// The state of the one drag in progress. The shell keeps a single instance beside the model
// and hands it to the ProgramTree; the before-drop handler may rewrite target and after.
struct DragState {
    bool dragging = false;
    HTREEITEM target = nullptr;   // the item under the mouse at the last move; null after a press
    HTREEITEM dragged = nullptr;  // the item the drag started on
    bool after = false;           // the drop goes after the target rather than before it
};

// The four drag handlers; a handler that is not set counts as one that always says yes.
// Asked at the press; target is always null then, after is what the last drag left.
using MayBeginDragHandler =
    std::function<bool(HWND tree, HTREEITEM dragged, HTREEITEM target, bool after)>;
// Told on every move of a drag; its answer is not asked for.
using DragOverHandler =
    std::function<void(HWND tree, HTREEITEM dragged, HTREEITEM target, bool after)>;
// Asked before a drop is carried out, with the DragState fields themselves: the drop uses
// whatever target and after the handler leaves.
using BeforeDropHandler =
    std::function<bool(HWND tree, HTREEITEM* dragged, HTREEITEM* target, bool* after)>;
// Asked once the copy exists (newItem is null when it could not be made); yes deletes the
// dragged item.
using AfterDropHandler =
    std::function<bool(HWND tree, HTREEITEM dragged, HTREEITEM target, HTREEITEM newItem)>;

// The children of an item's parent in tree order, and the item's 1-based place among them
// (0 when it is not among them).
struct SiblingList {
    std::vector<HTREEITEM> items;
    int position = 0;
};

// One window subclass, removed again when the owner goes away.
class WindowSubclass {
  public:
    WindowSubclass() = default;
    WindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data);
    ~WindowSubclass() { reset(); }
    WindowSubclass(WindowSubclass&& other) noexcept;
    WindowSubclass& operator=(WindowSubclass&& other) noexcept;
    WindowSubclass(const WindowSubclass&) = delete;
    WindowSubclass& operator=(const WindowSubclass&) = delete;

    bool installed() const { return window_ != nullptr; }
    HWND window() const { return window_; }
    void reset();

  private:
    HWND window_ = nullptr;  // not owned
    SUBCLASSPROC procedure_ = nullptr;
    UINT_PTR id_ = 0;
};

class ProgramTree {
  public:
    // `drag` is not owned; it must outlive this object.
    explicit ProgramTree(DragState& drag) : drag_(drag) {}
    ~ProgramTree() { destroy(); }
    // Bound to its windows by address: neither copied nor moved.
    ProgramTree(const ProgramTree&) = delete;
    ProgramTree& operator=(const ProgramTree&) = delete;

    void destroy() { detach(); }

    // The replacement procedures installed by attach. They pass on what they do not consume,
    // so they are only called from the message dispatch of their window.
    LRESULT topLevelWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT treeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    void setMayBeginDragHandler(MayBeginDragHandler handler) { mayBeginDrag_ = std::move(handler); }
    void setDragOverHandler(DragOverHandler handler) { dragOver_ = std::move(handler); }
    void setBeforeDropHandler(BeforeDropHandler handler) { beforeDrop_ = std::move(handler); }
    void setAfterDropHandler(AfterDropHandler handler) { afterDrop_ = std::move(handler); }

    // Binds the object to a tree window and its root owner. Fails, changing nothing, when the
    // object is already attached or the handle is no window.
    bool attach(HWND tree);
    // Restores both window procedures. Always true.
    bool detach();
    bool attached() const { return topLevelWindow_ != nullptr && treeWindow_ != nullptr; }

    HWND treeWindow() const { return treeWindow_; }
    HWND topLevelWindow() const { return topLevelWindow_; }
    const DragState& dragState() const { return drag_; }

    // Read: whether the tree is disabled. Write: enables it for false, disables it for true;
    // whether EnableWindow returned nonzero.
    bool disabled() const;
    bool disabled(bool value);
    // Read: true when the tree is hidden. Write: shows it for true, hides it for false; whether
    // ShowWindow returned nonzero.
    bool visible() const;
    bool visible(bool value);

    // Copies an item and all its descendants (texts, images, tags, expanded state) under
    // `parent` after `insertAfter`. The source stays in place. Null when a copy fails.
    HTREEITEM copySubtree(HTREEITEM source, HTREEITEM parent, HTREEITEM insertAfter);

    LRESULT sendTreeMessage(UINT message, WPARAM wParam, LPARAM lParam) const;

    int itemCount() const;
    bool clear();
    bool expand(HTREEITEM item);
    bool collapse(HTREEITEM item);
    bool setBold(HTREEITEM item);
    bool clearBold(HTREEITEM item);
    bool isExpanded(HTREEITEM item) const;
    bool ensureVisible(HTREEITEM item);
    bool isChecked(HTREEITEM item) const;
    HTREEITEM selectedItem() const;
    bool selectItem(HTREEITEM item);
    bool deleteItem(HTREEITEM item);
    bool sortChildren(HTREEITEM item);
    bool sortChildrenBy(HTREEITEM item, PFNTVCOMPARE compare, LPARAM data);
    bool setInsertMark(HTREEITEM item, bool after);
    COLORREF setInsertMarkColor(COLORREF color);
    int indent() const;
    int indent(int value);

    // 1 for an item without parent, one more for each ancestor; 0 for no item.
    int itemLevel(HTREEITEM item) const;
    HTREEITEM parentItem(HTREEITEM item) const;
    bool hasChildren(HTREEITEM item) const;
    // For a null item: the first top-level item.
    HTREEITEM firstChild(HTREEITEM item) const;
    HTREEITEM nextSibling(HTREEITEM item) const;
    HTREEITEM previousSibling(HTREEITEM item) const;
    std::vector<HTREEITEM> listChildren(HTREEITEM item) const;
    SiblingList listSiblings(HTREEITEM item) const;
    // Depth-first pre-order, the item itself not included.
    std::vector<HTREEITEM> listDescendants(HTREEITEM item) const;
    // Whether `item` lies in the subtree below `ancestor` (not the ancestor itself).
    bool isDescendant(HTREEITEM item, HTREEITEM ancestor) const;

    bool itemRect(HTREEITEM item, bool textOnly, RECT& rect) const;
    // Client coordinates; the control fills the record's flags and item.
    HTREEITEM hitTest(POINT point, TVHITTESTINFO& info) const;
    int indexOfItem(HTREEITEM item) const;
    HTREEITEM itemAtIndex(int index) const;

    // Appends (or places after insertAfter) a new item. With an image, both image indexes take
    // it unless a selected image is given as well; without, both are -1.
    HTREEITEM insertItem(HTREEITEM parent, const Text& text, std::optional<int> image = {},
                         std::optional<int> selectedImage = {}, TreeNodeTag tag = 0,
                         HTREEITEM insertAfter = TVI_LAST);
    // GBK; empty when the item cannot be read. Texts longer than 259 UTF-16 units come back
    // cut by the control.
    Text itemText(HTREEITEM item) const;
    bool setItemText(HTREEITEM item, const Text& text);
    TreeNodeTag itemTag(HTREEITEM item) const;
    bool setItemTag(HTREEITEM item, TreeNodeTag tag);
    // The state image index minus 1.
    int checkState(HTREEITEM item) const;
    bool setItemImage(HTREEITEM item, int image);

  private:
    static LRESULT CALLBACK topLevelSubclassProc(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam, UINT_PTR id, DWORD_PTR data);
    static LRESULT CALLBACK treeSubclassProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam, UINT_PTR id, DWORD_PTR data);

    HTREEITEM nextItem(HTREEITEM item, UINT relation) const;

    void onTopLevelDestroyed();
    void onTreeDestroyed();
    void onButtonPress(POINT point);
    static bool endsDragDetection(const NMHDR& header);
    static LRESULT takeCaptureBack(const NMHDR& header);
    void onDragMove(POINT point);
    void onButtonRelease();
    void dropDragged();
    // A drag cut short by detaching or by the tree going away: no drop, only the teardown.
    void abandonDrag();
    void endDragImage();

    HWND topLevelWindow_ = nullptr;  // not owned
    WindowSubclass topLevelBinding_;
    HWND treeWindow_ = nullptr;  // not owned
    WindowSubclass treeBinding_;
    UniqueImageList dragImage_;  // the picture of the item being dragged

    MayBeginDragHandler mayBeginDrag_;
    DragOverHandler dragOver_;
    BeforeDropHandler beforeDrop_;
    AfterDropHandler afterDrop_;

    DragState& drag_;  // not owned; one for the whole program
};

}  // namespace ramulet
