#include <gtest/gtest.h>

#include "container/byte_writer.h"
#include "fixtures/fixture_builder.h"
#include "model/sections.h"

namespace ramulet {
namespace {

// \r\n@备注:\r\n
const Text kMarker = "\x0d\x0a@\xb1\xb8\xd7\xa2:\x0d\x0a";
// 未知
const Text kUnknown = "\xce\xb4\xd6\xaa";
// 真
const Text kTrue = "\xd5\xe6";
// 假
const Text kFalse = "\xbc\xd9";

UserInfo sampleUser() {
    UserInfo u;
    // 测试程序
    u.programName = "\xb2\xe2\xca\xd4\xb3\xcc\xd0\xf2";
    u.description = "line one\r\nline two";
    u.remark = "remark";
    // 张三
    u.author = "\xd5\xc5\xc8\xfd";
    u.postalCode = "100000";
    u.address = "addr";
    u.phone = "010-1234";
    u.fax = "fax";
    u.email = "a@b.c";
    u.homepage = "http://x";
    u.legalNotice = "(c)";
    u.versionHigh = {1, 2};
    u.versionLow = {3, 4};
    u.writeVersionInfo = true;
    u.compilePluginName = "plugin";
    u.allowPublicClassMethods = true;
    u.reserved = {1, 2, 3, 4};
    return u;
}

SystemInfo sampleSystem() {
    SystemInfo s;
    s.formatVersion = {1, 7};
    s.extraNumber1 = -1;
    s.language = 1;
    s.projectVersion = {3, 6};
    s.fileType = 2;
    s.extraNumber2 = 12345;
    s.programType = 1000;
    s.reserved.assign(32, 0x5A);
    return s;
}

// A user information payload that holds only a name and the stored description text; the
// reader takes the missing fields as zero and empty.
Bytes userPayloadWithDescription(const Text& stored) {
    ByteWriter w;
    w.lenText("");
    w.lenText(stored);
    return w.take();
}

TEST(information_test, empty_payloads_read_as_initial_records) {
    EXPECT_EQ(readUserInfo({}), UserInfo{});
    EXPECT_EQ(readSystemInfo({}), SystemInfo{});
}

TEST(information_test, user_and_system_information_round_trip) {
    const UserInfo user = sampleUser();
    EXPECT_EQ(readUserInfo(writeUserInfoPayload(user)), user);
    const SystemInfo system = sampleSystem();
    const Bytes payload = writeSystemInfoPayload(system);
    EXPECT_EQ(payload.size(), 60u);
    EXPECT_EQ(readSystemInfo(payload), system);
}

TEST(information_test, description_and_remark_split_at_the_last_marker) {
    struct Case {
        const char* what;
        Text stored;
        Text description;
        Text remark;
    };
    const Case cases[] = {
        {"no marker", "just text", "just text", ""},
        {"one marker", "desc" + kMarker + "rem", "desc", "rem"},
        {"two markers", "a" + kMarker + "b" + kMarker + "c", "a" + kMarker + "b", "c"},
        {"marker at the end", "desc" + kMarker, "desc", ""},
        {"marker only", kMarker, "", ""},
        {"marker without its line breaks", "desc@\xb1\xb8\xd7\xa2:rem", "desc@\xb1\xb8\xd7\xa2:rem",
         ""},
    };
    for (const Case& c : cases) {
        const UserInfo info = readUserInfo(userPayloadWithDescription(c.stored));
        EXPECT_EQ(info.description, c.description) << c.what;
        EXPECT_EQ(info.remark, c.remark) << c.what;
    }
}

TEST(information_test, remark_markers_round_trip_through_the_writer) {
    UserInfo info;
    info.reserved.assign(4, 0);
    info.description = "a" + kMarker + "b";
    info.remark = "";
    EXPECT_EQ(readUserInfo(writeUserInfoPayload(info)), info);
    info.remark = "c";
    EXPECT_EQ(readUserInfo(writeUserInfoPayload(info)), info);
}

// The payload of sampleUser() with the 4 bytes at the given offset from the end replaced.
Bytes withStoredInt(int fromEnd, int32_t value) {
    Bytes payload = writeUserInfoPayload(sampleUser());
    ByteWriter w;
    w.i32(value);
    std::copy(w.data().begin(), w.data().end(), payload.end() - fromEnd);
    return payload;
}

TEST(information_test, write_version_flag_is_stored_negated) {
    // Behind the flag come 20 bytes of plug-in name, a bool and 4 reserved bytes.
    constexpr int kFlagFromEnd = 4 + 20 + 4 + 4;
    struct Case {
        int32_t stored;
        bool writeVersionInfo;
        const Text* shown;
    };
    const Case cases[] = {{0, true, &kTrue}, {1, false, &kFalse}, {2, false, &kFalse}};
    for (const Case& c : cases) {
        const UserInfo info = readUserInfo(withStoredInt(kFlagFromEnd, c.stored));
        EXPECT_EQ(info.writeVersionInfo, c.writeVersionInfo) << c.stored;
        // 编译写入版本信息：
        const Text line =
            "\xb1\xe0\xd2\xeb\xd0\xb4\xc8\xeb\xb0\xe6\xb1\xbe\xd0\xc5\xcf\xa2\xa3\xba" + *c.shown +
            "\r\n";
        EXPECT_NE(renderUserInfo(info).find(line), Text::npos) << c.stored;
    }
}

TEST(information_test, plugin_name_of_twenty_bytes_keeps_all_of_them) {
    UserInfo user = sampleUser();
    user.compilePluginName = "ABCDEFGHIJKLMNOPQRST";
    const UserInfo read = readUserInfo(writeUserInfoPayload(user));
    EXPECT_EQ(read.compilePluginName, "ABCDEFGHIJKLMNOPQRST");
    EXPECT_TRUE(read.allowPublicClassMethods);
    EXPECT_EQ(read.reserved, (Bytes{1, 2, 3, 4}));

    user.compilePluginName = "ab";  // padded with zero bytes on disk, cut at the first one
    EXPECT_EQ(readUserInfo(writeUserInfoPayload(user)).compilePluginName, "ab");
}

TEST(information_test, program_type_names) {
    struct Case {
        int32_t code;
        Text name;
    };
    const Case cases[] = {
        // Windows窗口程序
        {0, "Windows\xb4\xb0\xbf\xda\xb3\xcc\xd0\xf2"},
        // Windows控制台程序
        {1, "Windows\xbf\xd8\xd6\xc6\xcc\xa8\xb3\xcc\xd0\xf2"},
        // Windows动态链接库
        {2, "Windows\xb6\xaf\xcc\xac\xc1\xb4\xbd\xd3\xbf\xe2"},
        // Windows易语言模块
        {1000, "Windows\xd2\xd7\xd3\xef\xd1\xd4\xc4\xa3\xbf\xe9"},
        // Linux控制台程序
        {10000, "Linux\xbf\xd8\xd6\xc6\xcc\xa8\xb3\xcc\xd0\xf2"},
        // Linux易语言模块
        {11000, "Linux\xd2\xd7\xd3\xef\xd1\xd4\xc4\xa3\xbf\xe9"},
        {3, kUnknown},
        {-1, kUnknown},
        {1001, kUnknown},
    };
    for (const Case& c : cases)
        EXPECT_EQ(programTypeName(c.code), c.name) << c.code;
}

// The expected text of a block: each row is a label and its value, each line ended by "\r\n".
Text lines(std::initializer_list<std::pair<Text, Text>> rows) {
    Text out;
    for (const auto& [label, value] : rows)
        out += label + value + "\r\n";
    return out;
}

TEST(information_test, system_information_renders_seven_lines) {
    const Text expected = lines({
        // 格式版本：
        {"\xb8\xf1\xca\xbd\xb0\xe6\xb1\xbe\xa3\xba", "1.7"},
        // 未知一：
        {"\xce\xb4\xd6\xaa\xd2\xbb\xa3\xba", "-1"},
        // 项目语言： 中文(GBK)
        {"\xcf\xee\xc4\xbf\xd3\xef\xd1\xd4\xa3\xba", "\xd6\xd0\xce\xc4(GBK)"},
        // 项目版本：
        {"\xcf\xee\xc4\xbf\xb0\xe6\xb1\xbe\xa3\xba", "3.6"},
        // 文件类型： 模块
        {"\xce\xc4\xbc\xfe\xc0\xe0\xd0\xcd\xa3\xba", "\xc4\xa3\xbf\xe9"},
        // 未知二：
        {"\xce\xb4\xd6\xaa\xb6\xfe\xa3\xba", "12345"},
        // 程序类型： Windows易语言模块
        {"\xb3\xcc\xd0\xf2\xc0\xe0\xd0\xcd\xa3\xba",
         "Windows\xd2\xd7\xd3\xef\xd1\xd4\xc4\xa3\xbf\xe9"},
    });
    EXPECT_EQ(renderSystemInfo(sampleSystem()), expected);
}

TEST(information_test, languages_and_file_types_outside_the_tables_show_unknown) {
    struct Case {
        int32_t language;
        int32_t fileType;
        Text languageName;
        Text fileTypeName;
    };
    const Case cases[] = {
        // 英文 / 源代码
        {2, 1, "\xd3\xa2\xce\xc4", "\xd4\xb4\xb4\xfa\xc2\xeb"},
        // 中文(BIG5)
        {3, 0, "\xd6\xd0\xce\xc4(BIG5)", kUnknown},
        // 日文(JSIS)
        {4, 3, "\xc8\xd5\xce\xc4(JSIS)", kUnknown},
        {0, -1, kUnknown, kUnknown},
        {5, 2, kUnknown, "\xc4\xa3\xbf\xe9"},
    };
    for (const Case& c : cases) {
        SystemInfo info;
        info.language = c.language;
        info.fileType = c.fileType;
        const Text text = renderSystemInfo(info);
        // 项目语言：
        EXPECT_NE(text.find("\xcf\xee\xc4\xbf\xd3\xef\xd1\xd4\xa3\xba" + c.languageName + "\r\n"),
                  Text::npos)
            << c.language;
        // 文件类型：
        EXPECT_NE(text.find("\xce\xc4\xbc\xfe\xc0\xe0\xd0\xcd\xa3\xba" + c.fileTypeName + "\r\n"),
                  Text::npos)
            << c.fileType;
    }
}

TEST(information_test, initial_system_information_renders) {
    const Text expected = lines({
        {"\xb8\xf1\xca\xbd\xb0\xe6\xb1\xbe\xa3\xba", "0.0"},
        {"\xce\xb4\xd6\xaa\xd2\xbb\xa3\xba", "0"},
        {"\xcf\xee\xc4\xbf\xd3\xef\xd1\xd4\xa3\xba", kUnknown},
        {"\xcf\xee\xc4\xbf\xb0\xe6\xb1\xbe\xa3\xba", "0.0"},
        {"\xce\xc4\xbc\xfe\xc0\xe0\xd0\xcd\xa3\xba", kUnknown},
        {"\xce\xb4\xd6\xaa\xb6\xfe\xa3\xba", "0"},
        // Windows窗口程序
        {"\xb3\xcc\xd0\xf2\xc0\xe0\xd0\xcd\xa3\xba", "Windows\xb4\xb0\xbf\xda\xb3\xcc\xd0\xf2"},
    });
    EXPECT_EQ(renderSystemInfo(SystemInfo{}), expected);
}

TEST(information_test, user_information_renders_fifteen_lines) {
    UserInfo user = sampleUser();
    user.versionLow = {3, -4};
    user.allowPublicClassMethods = false;
    const Text expected = lines({
        // 程序名称： 测试程序
        {"\xb3\xcc\xd0\xf2\xc3\xfb\xb3\xc6\xa3\xba", "\xb2\xe2\xca\xd4\xb3\xcc\xd0\xf2"},
        // 程序描述：
        {"\xb3\xcc\xd0\xf2\xc3\xe8\xca\xf6\xa3\xba", "line one\r\nline two"},
        // 程序备注：
        {"\xb3\xcc\xd0\xf2\xb1\xb8\xd7\xa2\xa3\xba", "remark"},
        // 作者： 张三
        {"\xd7\xf7\xd5\xdf\xa3\xba", "\xd5\xc5\xc8\xfd"},
        // 邮政编码：
        {"\xd3\xca\xd5\xfe\xb1\xe0\xc2\xeb\xa3\xba", "100000"},
        // 联系地址：
        {"\xc1\xaa\xcf\xb5\xb5\xd8\xd6\xb7\xa3\xba", "addr"},
        // 电话：
        {"\xb5\xe7\xbb\xb0\xa3\xba", "010-1234"},
        // 传真：
        {"\xb4\xab\xd5\xe6\xa3\xba", "fax"},
        // 电子信箱：
        {"\xb5\xe7\xd7\xd3\xd0\xc5\xcf\xe4\xa3\xba", "a@b.c"},
        // 主页地址：
        {"\xd6\xf7\xd2\xb3\xb5\xd8\xd6\xb7\xa3\xba", "http://x"},
        // 版权声明：
        {"\xb0\xe6\xc8\xa8\xc9\xf9\xc3\xf7\xa3\xba", "(c)"},
        // 程序版本：
        {"\xb3\xcc\xd0\xf2\xb0\xe6\xb1\xbe\xa3\xba", "1.2.3.-4"},
        // 编译写入版本信息：
        {"\xb1\xe0\xd2\xeb\xd0\xb4\xc8\xeb\xb0\xe6\xb1\xbe\xd0\xc5\xcf\xa2\xa3\xba", kTrue},
        // 编译插件名：
        {"\xb1\xe0\xd2\xeb\xb2\xe5\xbc\xfe\xc3\xfb\xa3\xba", "plugin"},
        // 编译Dll时允许公开类方法：
        {"\xb1\xe0\xd2\xeb"
         "Dll\xca\xb1\xd4\xca\xd0\xed\xb9\xab\xbf\xaa\xc0\xe0\xb7\xbd\xb7\xa8\xa3\xba",
         kFalse},
    });
    EXPECT_EQ(renderUserInfo(user), expected);
}

TEST(information_test, version_numbers_render_joined_by_dots) {
    const UserInfo info = readUserInfo(writeUserInfoPayload(sampleUser()));
    // 程序版本：1.2.3.4
    EXPECT_NE(renderUserInfo(info).find("\r\n\xb3\xcc\xd0\xf2\xb0\xe6\xb1\xbe\xa3\xba"
                                        "1.2.3.4\r\n"),
              Text::npos);
}

}  // namespace
}  // namespace ramulet
