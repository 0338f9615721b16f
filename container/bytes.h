// Byte strings and GBK texts as the whole program passes them around.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ramulet {

using Bytes = std::vector<uint8_t>;
using ByteView = std::span<const uint8_t>;

// Texts inside source files are GBK (code page 936) byte strings. They are kept, measured and
// compared as bytes; only the user interface converts them.
using Text = std::string;

inline ByteView asBytes(std::string_view text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

inline Text toText(ByteView bytes) {
    return Text(bytes.begin(), bytes.end());
}

// The text of a byte string: everything before its first zero byte.
inline Text textUpToZero(ByteView bytes) {
    size_t n = 0;
    while (n < bytes.size() && bytes[n] != 0)
        ++n;
    return Text(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
}

}  // namespace ramulet
