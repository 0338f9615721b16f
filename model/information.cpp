// The user information (01) and system information (02) sections, and their display texts.
//
// User information: ten LenTexts (name, description with remark, author, postal code,
// address, phone, fax, e-mail, homepage, legal notice), four int32 version numbers, a bool
// stored negated ("do not write version info"), a 20-byte plug-in name, a bool, 4 bytes.
// System information, 60 bytes: int16 x2 format version, int32 unknown, int32 language,
// int16 x2 project version, int32 file type, int32 unknown, int32 program type, 32 bytes.

#include <string_view>

#include "container/byte_reader.h"
#include "model/sections.h"

namespace ramulet {

namespace {

// The description and the remark are stored as one text, joined by this marker.
// \r\n@备注:\r\n
constexpr std::string_view kRemarkMarker = "\x0d\x0a@\xb1\xb8\xd7\xa2:\x0d\x0a";

constexpr int kPluginNameSize = 20;

// 未知
constexpr std::string_view kUnknown = "\xce\xb4\xd6\xaa";
// 真
constexpr std::string_view kTrue = "\xd5\xe6";
// 假
constexpr std::string_view kFalse = "\xbc\xd9";

Text languageName(int32_t language) {
    switch (language) {
        case 1:
            // 中文(GBK)
            return "\xd6\xd0\xce\xc4(GBK)";
        case 2:
            // 英文
            return "\xd3\xa2\xce\xc4";
        case 3:
            // 中文(BIG5)
            return "\xd6\xd0\xce\xc4(BIG5)";
        case 4:
            // 日文(JSIS)
            return "\xc8\xd5\xce\xc4(JSIS)";
        default:
            return Text(kUnknown);
    }
}

Text fileTypeName(int32_t fileType) {
    switch (fileType) {
        case 1:
            // 源代码
            return "\xd4\xb4\xb4\xfa\xc2\xeb";
        case 2:
            // 模块
            return "\xc4\xa3\xbf\xe9";
        default:
            return Text(kUnknown);
    }
}

// Builds the display text line by line, each line ended by "\r\n".
class Lines {
  public:
    void add(std::string_view label, std::string_view value) {
        text_.append(label);
        text_.append(value);
        text_.append("\r\n");
    }
    void addNumber(std::string_view label, int64_t value) { add(label, std::to_string(value)); }
    void addFlag(std::string_view label, bool value) { add(label, value ? kTrue : kFalse); }
    Text take() { return std::move(text_); }

  private:
    Text text_;
};

Text dotted(std::initializer_list<int64_t> numbers) {
    Text out;
    for (const int64_t n : numbers) {
        if (!out.empty())
            out += '.';
        out += std::to_string(n);
    }
    return out;
}

}  // namespace

UserInfo readUserInfo(ByteView payload) {
    UserInfo info;
    ByteReader r;
    if (!r.load(payload))
        return info;
    info.programName = r.readLenText();
    const Text described = r.readLenText();
    info.author = r.readLenText();
    info.postalCode = r.readLenText();
    info.address = r.readLenText();
    info.phone = r.readLenText();
    info.fax = r.readLenText();
    info.email = r.readLenText();
    info.homepage = r.readLenText();
    info.legalNotice = r.readLenText();
    info.versionHigh[0] = r.readInt();
    info.versionHigh[1] = r.readInt();
    info.versionLow[0] = r.readInt();
    info.versionLow[1] = r.readInt();
    info.writeVersionInfo = !r.readBool();
    info.compilePluginName = textUpToZero(r.viewBytes(kPluginNameSize));
    info.allowPublicClassMethods = r.readBool();
    info.reserved = r.readBytes(4);

    const size_t marker = described.rfind(kRemarkMarker);
    if (marker == Text::npos) {
        info.description = described;
    } else {
        info.description = described.substr(0, marker);
        info.remark = described.substr(marker + kRemarkMarker.size());
    }
    return info;
}

SystemInfo readSystemInfo(ByteView payload) {
    SystemInfo info;
    ByteReader r;
    if (!r.load(payload))
        return info;
    info.formatVersion[0] = r.readShort();
    info.formatVersion[1] = r.readShort();
    info.extraNumber1 = r.readInt();
    info.language = r.readInt();
    info.projectVersion[0] = r.readShort();
    info.projectVersion[1] = r.readShort();
    info.fileType = r.readInt();
    info.extraNumber2 = r.readInt();
    info.programType = r.readInt();
    info.reserved = r.readBytes(32);
    return info;
}

Text programTypeName(int32_t programType) {
    switch (programType) {
        case 0:
            // Windows窗口程序
            return "Windows\xb4\xb0\xbf\xda\xb3\xcc\xd0\xf2";
        case 1:
            // Windows控制台程序
            return "Windows\xbf\xd8\xd6\xc6\xcc\xa8\xb3\xcc\xd0\xf2";
        case 2:
            // Windows动态链接库
            return "Windows\xb6\xaf\xcc\xac\xc1\xb4\xbd\xd3\xbf\xe2";
        case 1000:
            // Windows易语言模块
            return "Windows\xd2\xd7\xd3\xef\xd1\xd4\xc4\xa3\xbf\xe9";
        case 10000:
            // Linux控制台程序
            return "Linux\xbf\xd8\xd6\xc6\xcc\xa8\xb3\xcc\xd0\xf2";
        case 11000:
            // Linux易语言模块
            return "Linux\xd2\xd7\xd3\xef\xd1\xd4\xc4\xa3\xbf\xe9";
        default:
            return Text(kUnknown);
    }
}

Text renderSystemInfo(const SystemInfo& info) {
    Lines lines;
    // 格式版本：
    lines.add("\xb8\xf1\xca\xbd\xb0\xe6\xb1\xbe\xa3\xba",
              dotted({info.formatVersion[0], info.formatVersion[1]}));
    // 未知一：
    lines.addNumber("\xce\xb4\xd6\xaa\xd2\xbb\xa3\xba", info.extraNumber1);
    // 项目语言：
    lines.add("\xcf\xee\xc4\xbf\xd3\xef\xd1\xd4\xa3\xba", languageName(info.language));
    // 项目版本：
    lines.add("\xcf\xee\xc4\xbf\xb0\xe6\xb1\xbe\xa3\xba",
              dotted({info.projectVersion[0], info.projectVersion[1]}));
    // 文件类型：
    lines.add("\xce\xc4\xbc\xfe\xc0\xe0\xd0\xcd\xa3\xba", fileTypeName(info.fileType));
    // 未知二：
    lines.addNumber("\xce\xb4\xd6\xaa\xb6\xfe\xa3\xba", info.extraNumber2);
    // 程序类型：
    lines.add("\xb3\xcc\xd0\xf2\xc0\xe0\xd0\xcd\xa3\xba", programTypeName(info.programType));
    return lines.take();
}

Text renderUserInfo(const UserInfo& info) {
    Lines lines;
    // 程序名称：
    lines.add("\xb3\xcc\xd0\xf2\xc3\xfb\xb3\xc6\xa3\xba", info.programName);
    // 程序描述：
    lines.add("\xb3\xcc\xd0\xf2\xc3\xe8\xca\xf6\xa3\xba", info.description);
    // 程序备注：
    lines.add("\xb3\xcc\xd0\xf2\xb1\xb8\xd7\xa2\xa3\xba", info.remark);
    // 作者：
    lines.add("\xd7\xf7\xd5\xdf\xa3\xba", info.author);
    // 邮政编码：
    lines.add("\xd3\xca\xd5\xfe\xb1\xe0\xc2\xeb\xa3\xba", info.postalCode);
    // 联系地址：
    lines.add("\xc1\xaa\xcf\xb5\xb5\xd8\xd6\xb7\xa3\xba", info.address);
    // 电话：
    lines.add("\xb5\xe7\xbb\xb0\xa3\xba", info.phone);
    // 传真：
    lines.add("\xb4\xab\xd5\xe6\xa3\xba", info.fax);
    // 电子信箱：
    lines.add("\xb5\xe7\xd7\xd3\xd0\xc5\xcf\xe4\xa3\xba", info.email);
    // 主页地址：
    lines.add("\xd6\xf7\xd2\xb3\xb5\xd8\xd6\xb7\xa3\xba", info.homepage);
    // 版权声明：
    lines.add("\xb0\xe6\xc8\xa8\xc9\xf9\xc3\xf7\xa3\xba", info.legalNotice);
    // 程序版本：
    lines.add(
        "\xb3\xcc\xd0\xf2\xb0\xe6\xb1\xbe\xa3\xba",
        dotted({info.versionHigh[0], info.versionHigh[1], info.versionLow[0], info.versionLow[1]}));
    // 编译写入版本信息：
    lines.addFlag("\xb1\xe0\xd2\xeb\xd0\xb4\xc8\xeb\xb0\xe6\xb1\xbe\xd0\xc5\xcf\xa2\xa3\xba",
                  info.writeVersionInfo);
    // 编译插件名：
    lines.add("\xb1\xe0\xd2\xeb\xb2\xe5\xbc\xfe\xc3\xfb\xa3\xba", info.compilePluginName);
    // 编译Dll时允许公开类方法：
    lines.addFlag(
        "\xb1\xe0\xd2\xeb"
        "Dll\xca\xb1\xd4\xca\xd0\xed\xb9\xab\xbf\xaa\xc0\xe0\xb7\xbd\xb7\xa8\xa3\xba",
        info.allowPublicClassMethods);
    return lines.take();
}

}  // namespace ramulet
