#include "app/ui_font.h"

#include <cwchar>
#include <iterator>

namespace ramulet::app {

namespace {

// In order of preference: the faces of Chinese Windows, then common free ones.
constexpr const wchar_t* kChineseFaces[] = {
    L"Microsoft YaHei UI",  L"Microsoft YaHei",  L"SimSun",
    L"WenQuanYi Micro Hei", L"Noto Sans CJK SC", L"Noto Sans SC",
};

int CALLBACK noteFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;  // one match is enough
}

bool faceInstalled(HDC dc, const wchar_t* face) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    EnumFontFamiliesExW(dc, &wanted, &noteFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

}  // namespace

int screenDpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen != nullptr)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

UniqueFont makeUiFont(int dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    LOGFONTW font{};
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        font = metrics.lfMessageFont;
    // 9 points, whatever the message font's size is.
    font.lfHeight = -MulDiv(9, dpi, 72);
    font.lfQuality = CLEARTYPE_QUALITY;

    const HDC screen = GetDC(nullptr);
    for (const wchar_t* face : kChineseFaces) {
        if (screen != nullptr && faceInstalled(screen, face)) {
            wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
            font.lfFaceName[LF_FACESIZE - 1] = L'\0';
            font.lfCharSet = DEFAULT_CHARSET;
            break;
        }
    }
    if (screen != nullptr)
        ReleaseDC(nullptr, screen);
    return UniqueFont(CreateFontIndirectW(&font));
}

}  // namespace ramulet::app
