// Reading password-protected source files, from the version check to the embedded plain file.
#include "container/protected_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "container/byte_writer.h"
#include "container/container.h"
#include "container/deciphering_stream.h"
#include "fixtures/protected_fixture.h"

namespace ramulet {
namespace {

// GBK "密码abc"
const std::string kPassword =
    "\xc3\xdc\xc2\xeb"
    "abc";

// A file in the temporary folder, removed again at the end of the test.
class TempFile {
  public:
    explicit TempFile(ByteView bytes) {
        const auto* test = testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::temp_directory_path() /
                (std::string("ramulet_") + test->name() + "_" + std::to_string(counter()++) + ".e");
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    ~TempFile() {
        std::error_code ec;
        std::filesystem::remove(path_, ec);
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::filesystem::path& path() const { return path_; }

  private:
    static int& counter() {
        static int n = 0;
        return n;
    }
    std::filesystem::path path_;
};

// A small plain source file: the magic and one user information section, long enough that its
// enciphered form spans several keystream blocks.
Bytes plainSourceFile() {
    SectionRecord section;
    section.magic.assign(kSectionMagic.begin(), kSectionMagic.end());
    section.head.key.assign(kUserInfoKey.begin(), kUserInfoKey.end());
    Bytes name = {'A', 'B'};
    name.resize(kSectionNameSize);
    section.head.name = unscrambleName(name, kUserInfoKey);
    section.head.reserved1 = Bytes(2, 0);
    section.head.reserved2 = Bytes(40, 0);
    for (int i = 0; i < 150; ++i)
        section.payload.push_back(static_cast<uint8_t>(i * 7));
    ByteWriter w;
    w.bytes(kFileMagic);
    w.bytes(writeSection(section, 1));
    return w.take();
}

// A password prompt that answers with a fixed password (or cancels) and counts its calls.
struct Prompt {
    std::optional<Text> answer;
    int calls = 0;
    PasswordPrompt callback() {
        return [this]() -> std::optional<Text> {
            ++calls;
            return answer;
        };
    }
};

ReadResult readWith(ByteView fileBytes, Prompt& prompt) {
    const TempFile file(fileBytes);
    return readSourceFile(file.path(), prompt.callback());
}

Bytes concat(std::initializer_list<ByteView> parts) {
    Bytes out;
    for (ByteView p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

TEST(protected_file_test, right_password_yields_the_plain_file) {
    const Bytes plain = plainSourceFile();
    const Bytes stored = fixtures::protectedFile(plain, kPassword);
    // Nothing of the plain file is left in the clear.
    ASSERT_EQ(stored.size(), 40 + plain.size());
    EXPECT_NE(Bytes(stored.begin() + 40, stored.end()), plain);
    EXPECT_EQ(std::search(stored.begin(), stored.end(), kFileMagic.begin(), kFileMagic.end()),
              stored.end());

    Prompt prompt{kPassword};
    const ReadResult r = readWith(stored, prompt);
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(r.bytes, plain);
    EXPECT_EQ(prompt.calls, 1);
    const SplitResult split = splitSections(r.bytes);
    EXPECT_EQ(split.error, "");
    ASSERT_EQ(split.container.sections.size(), 1u);
    EXPECT_EQ(sectionNameText(split.container.sections[0].head), "AB");
}

TEST(protected_file_test, the_empty_password_is_a_password) {
    const Bytes stored = fixtures::protectedFile(plainSourceFile(), "");
    Prompt empty{Text{}};
    const ReadResult r = readWith(stored, empty);
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(r.bytes, plainSourceFile());
    Prompt other{Text{"x"}};
    EXPECT_EQ(readWith(stored, other).error, messages::kWrongPassword);
}

TEST(protected_file_test, failures_carry_their_texts) {
    const Bytes plain = plainSourceFile();
    const Bytes source(kProtectedSourceVersion.begin(), kProtectedSourceVersion.end());
    const Text check = passwordCheckText(kPassword);
    Text upperCheck = check;
    for (char& c : upperCheck)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    ASSERT_NE(upperCheck, check);
    const Bytes magic(kFileMagic.begin(), kFileMagic.end());
    const Bytes empty = fixtures::protectedFile({}, kPassword);
    struct Case {
        const char* what;
        Bytes file;
        std::optional<Text> answer;
        const Text* error;
        int calls;
    };
    const Case cases[] = {
        {"module file, refused before asking",
         fixtures::protectedFile(plain, kPassword, asBytes(check), kProtectedModuleVersion),
         kPassword, &messages::kModuleFileRefused, 0},
        {"other version", fixtures::protectedFile(plain, kPassword, asBytes(check), {2, 0, 0, 0}),
         kPassword, &messages::kUnknownVersion, 0},
        {"version 01 00 00 01",
         fixtures::protectedFile(plain, kPassword, asBytes(check), {1, 0, 0, 1}), kPassword,
         &messages::kUnknownVersion, 0},
        {"no version", concat({kProtectedMagic}), kPassword, &messages::kUnknownVersion, 0},
        {"three version bytes", concat({kProtectedMagic, Bytes{1, 0, 0}}), kPassword,
         &messages::kUnknownVersion, 0},
        {"prompt cancelled", fixtures::protectedFile(plain, kPassword), std::nullopt,
         &messages::kNoPassword, 1},
        {"wrong password", fixtures::protectedFile(plain, kPassword), Text{"\xc3\xdc\xc2\xeb"},
         &messages::kWrongPassword, 1},
        {"header only", concat({kProtectedMagic, source}), kPassword, &messages::kWrongPassword, 1},
        {"check text cut short", Bytes(empty.begin(), empty.begin() + 39), kPassword,
         &messages::kWrongPassword, 1},
        {"check text differs in case",
         fixtures::protectedFile(plain, kPassword, asBytes(upperCheck)), kPassword,
         &messages::kWrongPassword, 1},
        {"check text ends early",
         fixtures::protectedFile(plain, kPassword, asBytes(check.substr(0, 31))), kPassword,
         &messages::kWrongPassword, 1},
        {"no embedded file", fixtures::protectedFile({}, kPassword), kPassword,
         &messages::kBadFileMagic, 1},
        {"embedded file shorter than its magic",
         fixtures::protectedFile(Bytes(magic.begin(), magic.begin() + 7), kPassword), kPassword,
         &messages::kBadFileMagic, 1},
        {"embedded file with a wrong magic",
         fixtures::protectedFile(concat({Bytes{'C', 'N', 'W', 'T', 'E', 'P', 'R', 'X'}, plain}),
                                 kPassword),
         kPassword, &messages::kBadFileMagic, 1},
    };
    for (const Case& c : cases) {
        Prompt prompt{c.answer};
        const ReadResult r = readWith(c.file, prompt);
        EXPECT_EQ(r.error, *c.error) << c.what;
        EXPECT_TRUE(r.bytes.empty()) << c.what;
        EXPECT_EQ(prompt.calls, c.calls) << c.what;
    }
}

TEST(protected_file_test, a_check_text_ended_by_a_zero_byte_matches) {
    const Bytes stored = fixtures::protectedFile(plainSourceFile(), "pw",
                                                 asBytes(passwordCheckText("pw") + '\0' + "junk"));
    Prompt prompt{Text{"pw"}};
    EXPECT_EQ(readWith(stored, prompt).bytes, plainSourceFile());
}

TEST(protected_file_test, an_embedded_magic_alone_reads_as_eight_bytes) {
    const Bytes magic(kFileMagic.begin(), kFileMagic.end());
    Prompt prompt{kPassword};
    const ReadResult r = readWith(fixtures::protectedFile(magic, kPassword), prompt);
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(r.bytes, magic);
}

TEST(protected_file_test, a_file_gone_before_reopening_cannot_be_opened) {
    const TempFile file(fixtures::protectedFile(plainSourceFile(), kPassword));
    bool removed = false;
    const ReadResult r = readSourceFile(file.path(), [&]() -> std::optional<Text> {
        std::error_code ec;
        removed = std::filesystem::remove(file.path(), ec);
        return kPassword;
    });
    if (!removed)
        GTEST_SKIP() << "this system does not remove a file that is open for reading";
    EXPECT_EQ(r.error, messages::kProtectedFileLocked);
    EXPECT_TRUE(r.bytes.empty());
}

// The check text is the MD5 digest backwards: its first two characters are the 16th byte.
TEST(protected_file_test, check_text_starts_with_the_last_digest_byte) {
    // MD5("") = d41d8cd98f00b204e9800998ecf8427e, MD5("abc") = 900150983cd24fb0d6963f7d28e17f72
    EXPECT_EQ(passwordCheckText(""), "7e42f8ec980980e904b2008fd98c1dd4");
    EXPECT_EQ(passwordCheckText("abc"), "727fe1287d3f96d6b04fd23c98500190");
    // The GBK bytes of the password are hashed as they are.
    EXPECT_EQ(passwordCheckText("\xc3\xdc\xc2\xeb"), "3c488aaa862424f6c564c9f0303e29d2");
}

TEST(protected_file_test, deciphering_stream_reads_from_any_offset) {
    const Bytes plain = plainSourceFile();
    const Bytes stored = fixtures::protectedFile(plain, kPassword);
    const Bytes expected =
        concat({ByteView(stored).first(8), asBytes(passwordCheckText(kPassword)), plain});
    const TempFile file(stored);
    auto stream = DecipheringFileStream::open(file.path(), kPassword, kProtectedPlainBytes);
    ASSERT_TRUE(stream);
    const auto length = static_cast<int64_t>(expected.size());
    EXPECT_EQ(stream->length(), length);
    EXPECT_EQ(stream->read(length + 5), expected);
    EXPECT_EQ(stream->tell(), length);
    EXPECT_TRUE(stream->read(1).empty());

    const std::pair<int64_t, int64_t> reads[] = {
        {0, 8},   {5, 10},   {8, 1},          {39, 2},     {71, 2},        {72, 64},
        {135, 3}, {100, 90}, {length - 1, 5}, {length, 1}, {length + 9, 1}};
    for (const auto& [at, n] : reads) {
        ASSERT_TRUE(stream->seek(at)) << at;
        const int64_t end = std::min(at + n, length);
        const Bytes want =
            at < length ? Bytes(expected.begin() + at, expected.begin() + end) : Bytes{};
        EXPECT_EQ(stream->read(n), want) << "at " << at << ", " << n << " bytes";
    }
    EXPECT_FALSE(stream->seek(-1));

    stream->close();
    EXPECT_FALSE(stream->seek(0));
    EXPECT_TRUE(stream->read(8).empty());
}

TEST(protected_file_test, deciphering_stream_fails_on_a_missing_file) {
    EXPECT_EQ(DecipheringFileStream::open(
                  std::filesystem::temp_directory_path() / "ramulet_no_such_protected_file.e",
                  kPassword, kProtectedPlainBytes),
              nullptr);
}

}  // namespace
}  // namespace ramulet
