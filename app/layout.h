// The main window's place and its controls: identifiers, places and sizes in pixels at 96 DPI
// (client coordinates of the main window). The window scales them by the system DPI.
#pragma once

#include <array>

namespace ramulet::layout {

struct Box {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

inline constexpr Box kMainWindow{50, 50, 500, 500};  // outer frame, screen coordinates

enum ControlId : int {
    kTreeId = 101,      // 树型框
    kInfoEditId = 102,  // 编辑框1
    kRefreshId = 103,   // 按钮_刷新
    kSortId = 104,      // 按钮_排序
    kStatusId = 105,    // 状态条
};

inline constexpr Box kTreeBox{0, 0, 245, 449};
inline constexpr Box kInfoEdit{250, 0, 245, 392};
inline constexpr Box kRefreshButton{248, 394, 152, 55};
inline constexpr Box kSortButton{401, 394, 93, 55};
inline constexpr Box kStatusBar{0, 451, 494, 20};

struct Control {
    ControlId id;
    Box box;
};

inline constexpr std::array<Control, 5> kControls = {{
    {kTreeId, kTreeBox},
    {kInfoEditId, kInfoEdit},
    {kRefreshId, kRefreshButton},
    {kSortId, kSortButton},
    {kStatusId, kStatusBar},
}};

// The window class of the main window, by which the tests find it.
inline constexpr wchar_t kMainWindowClass[] = L"RamuletMainWindow";

}  // namespace ramulet::layout
