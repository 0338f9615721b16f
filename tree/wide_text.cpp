#include "tree/wide_text.h"

#include <windows.h>

#include <climits>

namespace ramulet {

namespace {

constexpr UINT kGbkCodePage = 936;

}  // namespace

std::wstring gbkToWide(const Text& text) {
    // c_str() and -1: the conversion stops at the first zero byte and counts it.
    const int units = MultiByteToWideChar(kGbkCodePage, 0, text.c_str(), -1, nullptr, 0);
    if (units <= 1)
        return {};
    std::wstring wide(static_cast<size_t>(units), L'\0');
    if (MultiByteToWideChar(kGbkCodePage, 0, text.c_str(), -1, wide.data(), units) != units)
        return {};
    wide.resize(static_cast<size_t>(units) - 1);
    return wide;
}

Text wideToGbk(std::wstring_view text) {
    const size_t end = text.find(L'\0');
    if (end != std::wstring_view::npos)
        text = text.substr(0, end);
    if (text.empty() || text.size() > static_cast<size_t>(INT_MAX))
        return {};
    const int length = static_cast<int>(text.size());
    const int bytes =
        WideCharToMultiByte(kGbkCodePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return {};
    Text gbk(static_cast<size_t>(bytes), '\0');
    if (WideCharToMultiByte(kGbkCodePage, 0, text.data(), length, gbk.data(), bytes, nullptr,
                            nullptr) != bytes)
        return {};
    return gbk;
}

}  // namespace ramulet
