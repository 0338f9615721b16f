// The font of the window's controls: a Chinese user-interface font where one is installed,
// else the system's message font.
#pragma once

#include <windows.h>

#include "app/win32_owners.h"

namespace ramulet::app {

// At the given DPI; null only when GDI cannot make any font.
UniqueFont makeUiFont(int dpi);

// The system DPI of the screen (96 at 100 %).
int screenDpi();

// A length in 96-DPI pixels at the given DPI.
inline int scaled(int pixels, int dpi) {
    return MulDiv(pixels, dpi, 96);
}

}  // namespace ramulet::app
