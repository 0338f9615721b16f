// GBK (code page 936) <-> UTF-16 for the window side. The code page is 936 whatever the
// system's ANSI code page is, because every text of a source file is GBK.
#pragma once

#include <string>
#include <string_view>

#include "container/bytes.h"

namespace ramulet {

// The UTF-16 form of a GBK text, up to its first zero byte; the empty text when the bytes do
// not convert.
std::wstring gbkToWide(const Text& text);

// The GBK form of a UTF-16 text, up to its first zero unit; the empty text on failure.
Text wideToGbk(std::wstring_view text);

}  // namespace ramulet
