#include "cli/text_conversion.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace ramulet {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

#ifdef _WIN32
constexpr UINT kGbk = 936;

std::optional<std::string> convert(std::string_view in, UINT from, UINT to) {
    if (in.empty())
        return std::string();
    const int wide = MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, in.data(),
                                         static_cast<int>(in.size()), nullptr, 0);
    if (wide <= 0)
        return std::nullopt;
    std::wstring w(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, in.data(), static_cast<int>(in.size()),
                        w.data(), wide);
    BOOL lossy = FALSE;
    const int n = WideCharToMultiByte(to, 0, w.data(), wide, nullptr, 0, nullptr,
                                      to == CP_UTF8 ? nullptr : &lossy);
    if (n <= 0 || lossy)
        return std::nullopt;
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(to, 0, w.data(), wide, out.data(), n, nullptr, nullptr);
    return out;
}

struct GbkCharToUtf8 {
    std::optional<std::string> operator()(std::string_view c) const {
        return convert(c, kGbk, CP_UTF8);
    }
};
#else
// One conversion descriptor per call: the converter is stateful.
class Iconv {
  public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (valid())
            iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    std::optional<std::string> operator()(std::string_view in) {
        if (!valid())
            return std::nullopt;
        std::string out(in.size() * 4 + 4, '\0');
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        char* dst = out.data();
        size_t dstLeft = out.size();
        if (iconv(cd_, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1)) {
            return std::nullopt;
        }
        out.resize(out.size() - dstLeft);
        return out;
    }

  private:
    iconv_t cd_;
};

// CP936 rather than GBK: it also maps the single byte 0x80, as Windows does.
struct GbkCharToUtf8 : Iconv {
    GbkCharToUtf8() : Iconv("UTF-8", "CP936") {}
};
#endif

}  // namespace

std::string gbkToUtf8(std::string_view gbk) {
    GbkCharToUtf8 gbkCharToUtf8;
    std::string out;
    out.reserve(gbk.size() * 3 / 2);
    for (size_t i = 0; i < gbk.size();) {
        const auto lead = static_cast<uint8_t>(gbk[i]);
        if (lead < 0x80) {
            out.push_back(static_cast<char>(lead));
            ++i;
            continue;
        }
        // A double-byte character: lead 81..FE, trail 40..FE except 7F.
        if (lead >= 0x81 && lead <= 0xFE && i + 1 < gbk.size()) {
            const auto trail = static_cast<uint8_t>(gbk[i + 1]);
            if (trail >= 0x40 && trail <= 0xFE && trail != 0x7F) {
                if (auto c = gbkCharToUtf8(gbk.substr(i, 2))) {
                    out += *c;
                    i += 2;
                    continue;
                }
            }
        }
        if (auto c = lead == 0x80 ? gbkCharToUtf8(gbk.substr(i, 1)) : std::nullopt) {
            out += *c;
        } else {
            out += kReplacement;
        }
        ++i;
    }
    return out;
}

std::optional<Text> utf8ToGbk(std::string_view utf8) {
#ifdef _WIN32
    return convert(utf8, CP_UTF8, kGbk);
#else
    return Iconv("CP936", "UTF-8")(utf8);
#endif
}

}  // namespace ramulet
