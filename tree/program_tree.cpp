#include "tree/program_tree.h"

#include <array>
#include <cstring>
#include <cwchar>
#include <utility>

#include "tree/wide_text.h"

namespace ramulet {

namespace {

// Subclass ids of the two bindings; the reference data tells the objects apart.
constexpr UINT_PTR kTopLevelSubclassId = 1;
constexpr UINT_PTR kTreeSubclassId = 2;

// Item texts are read into this many UTF-16 units; the control cuts longer ones.
constexpr int kTextBufferUnits = 260;

// Mouse messages carry client coordinates as two signed 16-bit halves.
POINT pointOf(LPARAM lParam) {
    const auto bits = static_cast<DWORD>(lParam);
    return {static_cast<short>(LOWORD(bits)), static_cast<short>(HIWORD(bits))};
}

template <class T>
LPARAM addressOf(T& value) {
    return reinterpret_cast<LPARAM>(&value);
}

LPARAM itemParam(HTREEITEM item) {
    return reinterpret_cast<LPARAM>(item);
}

}  // namespace

// --- WindowSubclass ------------------------------------------------------------------------------

WindowSubclass::WindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data) {
    if (SetWindowSubclass(window, procedure, id, data)) {
        window_ = window;
        procedure_ = procedure;
        id_ = id;
    }
}

WindowSubclass::WindowSubclass(WindowSubclass&& other) noexcept
    : window_(std::exchange(other.window_, nullptr)),
      procedure_(std::exchange(other.procedure_, nullptr)),
      id_(std::exchange(other.id_, 0)) {}

WindowSubclass& WindowSubclass::operator=(WindowSubclass&& other) noexcept {
    if (this != &other) {
        reset();
        window_ = std::exchange(other.window_, nullptr);
        procedure_ = std::exchange(other.procedure_, nullptr);
        id_ = std::exchange(other.id_, 0);
    }
    return *this;
}

void WindowSubclass::reset() {
    if (window_ != nullptr)
        RemoveWindowSubclass(window_, procedure_, id_);
    window_ = nullptr;
    procedure_ = nullptr;
    id_ = 0;
}

// --- Binding -------------------------------------------------------------------------------------

bool ProgramTree::attach(HWND tree) {
    if (attached() || !IsWindow(tree))
        return false;
    HWND topLevel = GetAncestor(tree, GA_ROOTOWNER);
    // A tree without a parent is its own root owner: sending its notifications back to it
    // would never end.
    if (topLevel == nullptr || topLevel == tree)
        return false;
    topLevelWindow_ = topLevel;
    treeWindow_ = tree;
    const auto self = reinterpret_cast<DWORD_PTR>(this);
    topLevelBinding_ = WindowSubclass(topLevel, &topLevelSubclassProc, kTopLevelSubclassId, self);
    if (!topLevelBinding_.installed())
        return false;
    treeBinding_ = WindowSubclass(tree, &treeSubclassProc, kTreeSubclassId, self);
    return treeBinding_.installed();
}

bool ProgramTree::detach() {
    if (treeWindow_ != nullptr)
        abandonDrag();
    topLevelBinding_.reset();
    topLevelWindow_ = nullptr;
    treeBinding_.reset();
    treeWindow_ = nullptr;
    return true;
}

LRESULT CALLBACK ProgramTree::topLevelSubclassProc(HWND window, UINT message, WPARAM wParam,
                                                   LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    return reinterpret_cast<ProgramTree*>(data)->topLevelWindowProc(window, message, wParam,
                                                                    lParam);
}

LRESULT CALLBACK ProgramTree::treeSubclassProc(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    return reinterpret_cast<ProgramTree*>(data)->treeWindowProc(window, message, wParam, lParam);
}

LRESULT ProgramTree::topLevelWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NOTIFY:
            if (lParam != 0 && treeWindow_ != nullptr &&
                reinterpret_cast<const NMHDR*>(lParam)->hwndFrom == treeWindow_)
                return SendMessageW(treeWindow_, WM_NOTIFY, wParam, lParam);
            break;
        case WM_NCDESTROY:
            onTopLevelDestroyed();
            break;
        default:
            break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT ProgramTree::treeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_LBUTTONDOWN:
            if (!drag_.dragging)
                onButtonPress(pointOf(lParam));
            break;
        case WM_NOTIFY:
            if (drag_.dragging && lParam != 0) {
                const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
                if (endsDragDetection(header))
                    return takeCaptureBack(header);
            }
            break;
        case WM_MOUSEMOVE:
            if (drag_.dragging) {
                // No button held: the release never reached the tree (the control's click
                // detection swallowed it), so this move ends the drag.
                if (wParam == 0)
                    return SendMessageW(window, WM_LBUTTONUP, wParam, lParam);
                if (wParam == MK_LBUTTON)
                    onDragMove(pointOf(lParam));
            }
            break;
        case WM_LBUTTONUP:
            if (drag_.dragging)
                onButtonRelease();
            break;
        case WM_NCDESTROY:
            onTreeDestroyed();
            break;
        default:
            break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

// The last message a window gets: its subclass goes, and the object is detached from it.
void ProgramTree::onTopLevelDestroyed() {
    topLevelBinding_.reset();
    topLevelWindow_ = nullptr;
}

void ProgramTree::onTreeDestroyed() {
    abandonDrag();
    treeBinding_.reset();
    treeWindow_ = nullptr;
}

// --- Drag and drop -------------------------------------------------------------------------------

void ProgramTree::onButtonPress(POINT point) {
    drag_.target = nullptr;
    TVHITTESTINFO info{};
    drag_.dragged = hitTest(point, info);
    // A press on the expand button never drags; anywhere else on the row it does, at once.
    if (drag_.dragged == nullptr || info.flags == TVHT_ONITEMBUTTON)
        return;
    if (mayBeginDrag_ && !mayBeginDrag_(treeWindow_, drag_.dragged, drag_.target, drag_.after))
        return;
    // Without the selection there is no drag, and no drag image that nothing would end.
    if (!selectItem(drag_.dragged))
        return;
    drag_.dragging = true;
    dragImage_.reset(reinterpret_cast<HIMAGELIST>(
        sendTreeMessage(TVM_CREATEDRAGIMAGE, 0, itemParam(drag_.dragged))));
    ImageList_BeginDrag(dragImage_.get(), 0, 0, 0);
    ImageList_DragEnter(treeWindow_, -10000, -10000);  // out of sight until the first move
}

// The control's own drag detection ends with one of these and gives the capture up. The
// control may speak either character set in its notifications.
bool ProgramTree::endsDragDetection(const NMHDR& header) {
    return header.code == NM_CLICK || header.code == TVN_BEGINDRAGA ||
           header.code == TVN_BEGINDRAGW;
}

// Takes the capture back so that the moves and the release that follow reach the tree; the
// control's procedure does not see the notification.
LRESULT ProgramTree::takeCaptureBack(const NMHDR& header) {
    return reinterpret_cast<LRESULT>(SetCapture(header.hwndFrom));
}

void ProgramTree::onDragMove(POINT point) {
    ImageList_DragMove(point.x, point.y);
    TVHITTESTINFO info{};
    drag_.target = hitTest(point, info);
    RECT rect{};
    if (drag_.target != nullptr && !itemRect(drag_.target, true, rect))
        rect = RECT{};
    // The upper half of the label and its middle line mean before, the lower half after.
    const LONG middle = (rect.top + rect.bottom) / 2;
    drag_.after = point.y > middle;
    ImageList_DragShowNolock(FALSE);
    setInsertMark(drag_.target, drag_.after);
    RedrawWindow(treeWindow_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    ImageList_DragShowNolock(TRUE);
    if (dragOver_)
        dragOver_(treeWindow_, drag_.dragged, drag_.target, drag_.after);
}

void ProgramTree::onButtonRelease() {
    drag_.dragging = false;
    if (GetCapture() == treeWindow_)
        ReleaseCapture();
    dropDragged();
    endDragImage();
}

void ProgramTree::dropDragged() {
    const HTREEITEM dragged = drag_.dragged;
    const HTREEITEM target = drag_.target;
    if (dragged == nullptr || target == nullptr || dragged == target)
        return;
    // A drop anywhere inside the dragged subtree would copy the subtree into itself.
    if (isDescendant(target, dragged))
        return;
    // Already there: right before its next sibling, or right after its previous one.
    if (!drag_.after && target == nextSibling(dragged))
        return;
    if (drag_.after && target == previousSibling(dragged))
        return;
    if (beforeDrop_ && !beforeDrop_(treeWindow_, &drag_.dragged, &drag_.target, &drag_.after))
        return;

    // The handler may have moved the drop place; it must still lie outside the subtree.
    const HTREEITEM source = drag_.dragged;
    const HTREEITEM place = drag_.target;
    if (source == nullptr || place == nullptr || isDescendant(place, source))
        return;
    HTREEITEM parent = parentItem(place);
    if (parent == nullptr)
        parent = TVI_ROOT;
    HTREEITEM insertAfter = place;
    if (!drag_.after) {
        insertAfter = previousSibling(place);
        if (insertAfter == nullptr)
            insertAfter = TVI_FIRST;
    }

    // No repaint per inserted item while a large subtree is copied.
    sendTreeMessage(WM_SETREDRAW, FALSE, 0);
    const HTREEITEM copy = copySubtree(source, parent, insertAfter);
    if (copy != nullptr)
        selectItem(copy);
    sendTreeMessage(WM_SETREDRAW, TRUE, 0);

    if (!afterDrop_ || afterDrop_(treeWindow_, source, place, copy)) {
        deleteItem(source);
        ensureVisible(copy);
    }
}

void ProgramTree::abandonDrag() {
    if (!drag_.dragging)
        return;
    drag_.dragging = false;
    if (GetCapture() == treeWindow_)
        ReleaseCapture();
    endDragImage();
}

void ProgramTree::endDragImage() {
    setInsertMark(nullptr, false);
    ImageList_DragLeave(treeWindow_);
    ImageList_EndDrag();
    dragImage_.reset();
    InvalidateRect(treeWindow_, nullptr, TRUE);
}

// --- Window state --------------------------------------------------------------------------------

bool ProgramTree::disabled() const {
    return !IsWindowEnabled(treeWindow_);
}

bool ProgramTree::disabled(bool value) {
    return EnableWindow(treeWindow_, !value) != 0;
}

bool ProgramTree::visible() const {
    // Reading reports hidden, as the wrapper always has.
    return !IsWindowVisible(treeWindow_);
}

bool ProgramTree::visible(bool value) {
    return ShowWindow(treeWindow_, value ? SW_SHOW : SW_HIDE) != 0;
}

// --- Items ---------------------------------------------------------------------------------------

LRESULT ProgramTree::sendTreeMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return SendMessageW(treeWindow_, message, wParam, lParam);
}

HTREEITEM ProgramTree::copySubtree(HTREEITEM source, HTREEITEM parent, HTREEITEM insertAfter) {
    std::array<wchar_t, kTextBufferUnits> text{};
    TVITEMW item{};
    item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_STATE;
    item.hItem = source;
    item.stateMask = TVIS_EXPANDED;
    item.pszText = text.data();
    item.cchTextMax = kTextBufferUnits;
    if (sendTreeMessage(TVM_GETITEMW, 0, addressOf(item)) == 0)
        return nullptr;

    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = insertAfter;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    insert.item.pszText = item.pszText;  // the control may have pointed it at its own copy
    insert.item.iImage = item.iImage;
    insert.item.iSelectedImage = item.iSelectedImage;
    insert.item.lParam = item.lParam;
    const auto copy =
        reinterpret_cast<HTREEITEM>(sendTreeMessage(TVM_INSERTITEMW, 0, addressOf(insert)));
    if (copy == nullptr)
        return nullptr;

    for (HTREEITEM child : listChildren(source))
        if (copySubtree(child, copy, TVI_LAST) == nullptr)
            return nullptr;
    if ((item.state & TVIS_EXPANDED) != 0)
        expand(copy);
    return copy;
}

int ProgramTree::itemCount() const {
    return static_cast<int>(sendTreeMessage(TVM_GETCOUNT, 0, 0));
}

bool ProgramTree::clear() {
    return sendTreeMessage(TVM_DELETEITEM, 0, itemParam(TVI_ROOT)) == 1;
}

bool ProgramTree::expand(HTREEITEM item) {
    return sendTreeMessage(TVM_EXPAND, TVE_EXPAND, itemParam(item)) == 1;
}

bool ProgramTree::collapse(HTREEITEM item) {
    return sendTreeMessage(TVM_EXPAND, TVE_COLLAPSE, itemParam(item)) == 1;
}

bool ProgramTree::setBold(HTREEITEM item) {
    TVITEMW data{};
    data.mask = TVIF_STATE;
    data.hItem = item;
    data.state = TVIS_BOLD;
    data.stateMask = TVIS_BOLD;
    return sendTreeMessage(TVM_SETITEMW, 0, addressOf(data)) != 0;
}

bool ProgramTree::clearBold(HTREEITEM item) {
    TVITEMW data{};
    data.mask = TVIF_STATE;
    data.hItem = item;
    data.state = ~static_cast<UINT>(TVIS_BOLD);
    data.stateMask = TVIS_BOLD;
    return sendTreeMessage(TVM_SETITEMW, 0, addressOf(data)) != 0;
}

bool ProgramTree::isExpanded(HTREEITEM item) const {
    const auto state = static_cast<UINT>(
        sendTreeMessage(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED));
    return (state & TVIS_EXPANDED) != 0;
}

bool ProgramTree::ensureVisible(HTREEITEM item) {
    return sendTreeMessage(TVM_ENSUREVISIBLE, 0, itemParam(item)) == 1;
}

bool ProgramTree::isChecked(HTREEITEM item) const {
    const auto state = static_cast<UINT>(
        sendTreeMessage(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_STATEIMAGEMASK));
    return ((state & TVIS_STATEIMAGEMASK) >> 12) == 2;
}

HTREEITEM ProgramTree::selectedItem() const {
    return nextItem(nullptr, TVGN_CARET);
}

bool ProgramTree::selectItem(HTREEITEM item) {
    return sendTreeMessage(TVM_SELECTITEM, TVGN_CARET, itemParam(item)) == 1;
}

bool ProgramTree::deleteItem(HTREEITEM item) {
    return sendTreeMessage(TVM_DELETEITEM, 0, itemParam(item)) == 1;
}

bool ProgramTree::sortChildren(HTREEITEM item) {
    return sendTreeMessage(TVM_SORTCHILDREN, FALSE, itemParam(item)) == 1;
}

bool ProgramTree::sortChildrenBy(HTREEITEM item, PFNTVCOMPARE compare, LPARAM data) {
    TVSORTCB sort{};
    sort.hParent = item;
    sort.lpfnCompare = compare;
    sort.lParam = data;
    return sendTreeMessage(TVM_SORTCHILDRENCB, FALSE, addressOf(sort)) == 1;
}

bool ProgramTree::setInsertMark(HTREEITEM item, bool after) {
    return sendTreeMessage(TVM_SETINSERTMARK, after ? TRUE : FALSE, itemParam(item)) == 1;
}

COLORREF ProgramTree::setInsertMarkColor(COLORREF color) {
    return static_cast<COLORREF>(sendTreeMessage(TVM_SETINSERTMARKCOLOR, 0, color));
}

int ProgramTree::indent() const {
    return static_cast<int>(sendTreeMessage(TVM_GETINDENT, 0, 0));
}

int ProgramTree::indent(int value) {
    return static_cast<int>(sendTreeMessage(TVM_SETINDENT, static_cast<WPARAM>(value), 0));
}

HTREEITEM ProgramTree::nextItem(HTREEITEM item, UINT relation) const {
    return reinterpret_cast<HTREEITEM>(sendTreeMessage(TVM_GETNEXTITEM, relation, itemParam(item)));
}

int ProgramTree::itemLevel(HTREEITEM item) const {
    int level = 0;
    for (; item != nullptr; item = parentItem(item))
        ++level;
    return level;
}

HTREEITEM ProgramTree::parentItem(HTREEITEM item) const {
    return item == nullptr ? nullptr : nextItem(item, TVGN_PARENT);
}

bool ProgramTree::hasChildren(HTREEITEM item) const {
    TVITEMW data{};
    data.mask = TVIF_CHILDREN;
    data.hItem = item;
    return sendTreeMessage(TVM_GETITEMW, 0, addressOf(data)) != 0 && data.cChildren != 0;
}

HTREEITEM ProgramTree::firstChild(HTREEITEM item) const {
    return item == nullptr ? nextItem(nullptr, TVGN_ROOT) : nextItem(item, TVGN_CHILD);
}

HTREEITEM ProgramTree::nextSibling(HTREEITEM item) const {
    return item == nullptr ? nullptr : nextItem(item, TVGN_NEXT);
}

HTREEITEM ProgramTree::previousSibling(HTREEITEM item) const {
    return item == nullptr ? nullptr : nextItem(item, TVGN_PREVIOUS);
}

std::vector<HTREEITEM> ProgramTree::listChildren(HTREEITEM item) const {
    std::vector<HTREEITEM> children;
    for (HTREEITEM child = firstChild(item); child != nullptr; child = nextSibling(child))
        children.push_back(child);
    return children;
}

SiblingList ProgramTree::listSiblings(HTREEITEM item) const {
    SiblingList siblings;
    if (item == nullptr)
        return siblings;
    siblings.items = listChildren(parentItem(item));
    for (size_t i = 0; i < siblings.items.size(); ++i)
        if (siblings.items[i] == item)
            siblings.position = static_cast<int>(i) + 1;
    return siblings;
}

std::vector<HTREEITEM> ProgramTree::listDescendants(HTREEITEM item) const {
    std::vector<HTREEITEM> descendants;
    if (item == nullptr)
        return descendants;
    // Depth-first pre-order without recursion: next is the first child, else the next sibling
    // of the nearest ancestor (up to `item`) that has one.
    HTREEITEM current = firstChild(item);
    while (current != nullptr) {
        descendants.push_back(current);
        if (HTREEITEM child = firstChild(current)) {
            current = child;
            continue;
        }
        while (current != nullptr && current != item) {
            if (HTREEITEM next = nextSibling(current)) {
                current = next;
                break;
            }
            current = parentItem(current);
        }
        if (current == item)
            current = nullptr;
    }
    return descendants;
}

bool ProgramTree::isDescendant(HTREEITEM item, HTREEITEM ancestor) const {
    if (item == nullptr || ancestor == nullptr)
        return false;
    for (HTREEITEM up = parentItem(item); up != nullptr; up = parentItem(up))
        if (up == ancestor)
            return true;
    return false;
}

bool ProgramTree::itemRect(HTREEITEM item, bool textOnly, RECT& rect) const {
    // The message takes the item handle in the first bytes of the rectangle.
    static_assert(sizeof(HTREEITEM) <= sizeof(RECT));
    std::memcpy(&rect, &item, sizeof item);
    return sendTreeMessage(TVM_GETITEMRECT, textOnly ? TRUE : FALSE, addressOf(rect)) == 1;
}

HTREEITEM ProgramTree::hitTest(POINT point, TVHITTESTINFO& info) const {
    info.pt = point;
    return reinterpret_cast<HTREEITEM>(sendTreeMessage(TVM_HITTEST, 0, addressOf(info)));
}

int ProgramTree::indexOfItem(HTREEITEM item) const {
    return static_cast<int>(
               sendTreeMessage(TVM_MAPHTREEITEMTOACCID, reinterpret_cast<WPARAM>(item), 0)) -
           1;
}

HTREEITEM ProgramTree::itemAtIndex(int index) const {
    return reinterpret_cast<HTREEITEM>(
        sendTreeMessage(TVM_MAPACCIDTOHTREEITEM, static_cast<WPARAM>(index + 1), 0));
}

HTREEITEM ProgramTree::insertItem(HTREEITEM parent, const Text& text, std::optional<int> image,
                                  std::optional<int> selectedImage, TreeNodeTag tag,
                                  HTREEITEM insertAfter) {
    std::wstring wide = gbkToWide(text);
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = insertAfter != nullptr ? insertAfter : TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = wide.data();
    insert.item.cchTextMax = static_cast<int>(wide.size());
    insert.item.lParam = static_cast<LPARAM>(tag);
    insert.item.iImage = -1;
    insert.item.iSelectedImage = -1;
    if (image) {
        insert.item.mask |= TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        insert.item.iImage = *image;
        insert.item.iSelectedImage = selectedImage.value_or(*image);
    }
    return reinterpret_cast<HTREEITEM>(sendTreeMessage(TVM_INSERTITEMW, 0, addressOf(insert)));
}

Text ProgramTree::itemText(HTREEITEM item) const {
    std::array<wchar_t, kTextBufferUnits> text{};
    TVITEMW data{};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = text.data();
    data.cchTextMax = kTextBufferUnits;
    if (item == nullptr || sendTreeMessage(TVM_GETITEMW, 0, addressOf(data)) == 0)
        return {};
    return wideToGbk(std::wstring_view(data.pszText, wcsnlen(data.pszText, kTextBufferUnits)));
}

bool ProgramTree::setItemText(HTREEITEM item, const Text& text) {
    std::wstring wide = gbkToWide(text);
    TVITEMW data{};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = wide.data();
    return sendTreeMessage(TVM_SETITEMW, 0, addressOf(data)) == 1;
}

TreeNodeTag ProgramTree::itemTag(HTREEITEM item) const {
    TVITEMW data{};
    data.mask = TVIF_PARAM;
    data.hItem = item;
    if (item == nullptr || sendTreeMessage(TVM_GETITEMW, 0, addressOf(data)) == 0)
        return 0;
    // The tag is a 32-bit value kept in a pointer-sized parameter.
    return static_cast<TreeNodeTag>(data.lParam);
}

bool ProgramTree::setItemTag(HTREEITEM item, TreeNodeTag tag) {
    TVITEMW data{};
    data.mask = TVIF_PARAM;
    data.hItem = item;
    data.lParam = static_cast<LPARAM>(tag);
    return sendTreeMessage(TVM_SETITEMW, 0, addressOf(data)) == 1;
}

int ProgramTree::checkState(HTREEITEM item) const {
    TVITEMW data{};
    data.mask = TVIF_STATE;
    data.hItem = item;
    data.stateMask = TVIS_STATEIMAGEMASK;
    sendTreeMessage(TVM_GETITEMW, 0, addressOf(data));
    return static_cast<int>((data.state & 0xF000) >> 12) - 1;
}

bool ProgramTree::setItemImage(HTREEITEM item, int image) {
    TVITEMW data{};
    data.mask = TVIF_IMAGE;
    data.hItem = item;
    data.iImage = image;
    return sendTreeMessage(TVM_SETITEMW, 0, addressOf(data)) == 1;
}

}  // namespace ramulet
