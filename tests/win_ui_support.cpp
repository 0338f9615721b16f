#include "win_ui_support.h"

#include <atomic>
#include <thread>

namespace ramulet::wintest {

namespace {

constexpr wchar_t kWindowClass[] = L"RamuletTestTreeWindow";
constexpr DWORD kStepPauseMs = 25;
constexpr int kMoveSteps = 8;

LRESULT CALLBACK testWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

void registerWindowClass() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &testWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);  // fails harmlessly when it is already registered
}

// Absolute SendInput coordinates run from 0 to 65535 over the primary screen.
LONG normalised(LONG pixel, int extent) {
    return static_cast<LONG>((static_cast<long long>(pixel) * 65536 + extent - 1) / extent);
}

// Two presses within the double-click time make the second one a double click, which starts
// no drag. The driver lets that time pass after the previous press of this program, so that
// every press is a press, as when a person pauses between two drags.
void waitOutDoubleClick() {
    static std::atomic<ULONGLONG> lastPress{0};
    const ULONGLONG earliest = lastPress.load() + GetDoubleClickTime() + 30;
    const ULONGLONG now = GetTickCount64();
    if (lastPress.load() != 0 && now < earliest)
        Sleep(static_cast<DWORD>(earliest - now));
    lastPress = GetTickCount64();
}

void sendStep(const MouseStep& step) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    switch (step.kind) {
        case MouseStep::kMove:
            input.mi.dx = normalised(step.screen.x, GetSystemMetrics(SM_CXSCREEN));
            input.mi.dy = normalised(step.screen.y, GetSystemMetrics(SM_CYSCREEN));
            input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
            break;
        case MouseStep::kPress:
            waitOutDoubleClick();
            input.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
            break;
        case MouseStep::kRelease:
            input.mi.dwFlags = MOUSEEVENTF_LEFTUP;
            break;
    }
    SendInput(1, &input, sizeof input);
}

}  // namespace

TreeWindow::TreeWindow(int left) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    registerWindowClass();
    window_.reset(CreateWindowExW(WS_EX_TOPMOST, kWindowClass, L"Ramulet test",
                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE, left, 50, 300, 520, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr));
    if (!window_)
        return;
    tree_ =
        CreateWindowExW(0, WC_TREEVIEWW, L"",
                        WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES |
                            TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                        0, 0, 245, 449, window_.get(), nullptr, GetModuleHandleW(nullptr), nullptr);
    SetForegroundWindow(window_.get());
    UpdateWindow(window_.get());
    pumpMessages(50);
}

void pumpMessages(DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= end)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    }
}

void playMouse(const std::vector<MouseStep>& steps) {
    std::atomic<bool> done{false};
    std::thread driver([&steps, &done] {
        for (const MouseStep& step : steps) {
            sendStep(step);
            Sleep(kStepPauseMs);
        }
        done = true;
    });
    while (!done)
        pumpMessages(5);
    driver.join();
    pumpMessages(60);
}

POINT toScreen(HWND window, POINT client) {
    ClientToScreen(window, &client);
    return client;
}

void clickInClient(HWND window, POINT at) {
    const POINT point = toScreen(window, at);
    playMouse({{MouseStep::kMove, point},
               {MouseStep::kPress, point},
               {MouseStep::kRelease, point},
               {MouseStep::kMove, {point.x + 1, point.y}}});
}

void dragInClient(HWND window, POINT from, POINT to) {
    const POINT start = toScreen(window, from);
    const POINT end = toScreen(window, to);
    std::vector<MouseStep> steps{{MouseStep::kMove, start}, {MouseStep::kPress, start}};
    for (int i = 1; i <= kMoveSteps; ++i)
        steps.push_back({MouseStep::kMove,
                         {start.x + (end.x - start.x) * i / kMoveSteps,
                          start.y + (end.y - start.y) * i / kMoveSteps}});
    steps.push_back({MouseStep::kRelease, end});
    playMouse(steps);
}

POINT labelPoint(const ProgramTree& tree, HTREEITEM item, Half half) {
    RECT label{};
    if (!tree.itemRect(item, true, label))
        return {-1, -1};
    const LONG x = (label.left + label.right) / 2;
    switch (half) {
        case Half::kUpper:
            return {x, label.top + 2};
        case Half::kLower:
            return {x, label.bottom - 3};
        case Half::kMiddle:
            break;
    }
    return {x, (label.top + label.bottom) / 2};
}

void dragItem(const ProgramTree& tree, HTREEITEM from, HTREEITEM to, Half half) {
    dragInClient(tree.treeWindow(), labelPoint(tree, from), labelPoint(tree, to, half));
}

POINT expandButtonPoint(const ProgramTree& tree, HTREEITEM item) {
    RECT label{};
    if (!tree.itemRect(item, true, label))
        return {-1, -1};
    const LONG y = (label.top + label.bottom) / 2;
    LONG first = -1;
    LONG last = -1;
    for (LONG x = 0; x < label.left; ++x) {
        TVHITTESTINFO info{};
        if (tree.hitTest({x, y}, info) == item && info.flags == TVHT_ONITEMBUTTON) {
            if (first < 0)
                first = x;
            last = x;
        }
    }
    if (first < 0)
        return {-1, -1};
    return {(first + last) / 2, y};
}

HTREEITEM insertNodes(ProgramTree& tree, const TreeNode& node, HTREEITEM parent,
                      ItemsByText& items) {
    const HTREEITEM item = tree.insertItem(parent, node.text, node.image, node.image, node.tag);
    items[node.text] = item;
    for (const TreeNode& child : node.children)
        insertNodes(tree, child, item, items);
    return item;
}

std::vector<std::string> childTexts(const ProgramTree& tree, HTREEITEM item) {
    std::vector<std::string> texts;
    for (HTREEITEM child : tree.listChildren(item))
        texts.push_back(tree.itemText(child));
    return texts;
}

}  // namespace ramulet::wintest
