#include "container/protected_file.h"

#include <algorithm>

#include "container/deciphering_stream.h"
#include "container/md5.h"
#include "container/secure_wipe.h"

namespace ramulet {

namespace messages {
// 打开文件失败，暂不支持加密的模块文件
const Text kModuleFileRefused =
    "\xb4\xf2\xbf\xaa\xce\xc4\xbc\xfe\xca\xa7\xb0\xdc\xa3\xac\xd4\xdd\xb2\xbb\xd6\xa7\xb3\xd6\xbc"
    "\xd3\xc3\xdc\xb5\xc4\xc4\xa3\xbf\xe9\xce\xc4\xbc\xfe";
// 打开文件失败，未知的易加密版本
const Text kUnknownVersion =
    "\xb4\xf2\xbf\xaa\xce\xc4\xbc\xfe\xca\xa7\xb0\xdc\xa3\xac\xce\xb4\xd6\xaa\xb5\xc4\xd2\xd7\xbc"
    "\xd3\xc3\xdc\xb0\xe6\xb1\xbe";
// 打开文件失败，未提供可用密码！
const Text kNoPassword =
    "\xb4\xf2\xbf\xaa\xce\xc4\xbc\xfe\xca\xa7\xb0\xdc\xa3\xac\xce\xb4\xcc\xe1\xb9\xa9\xbf\xc9\xd3"
    "\xc3\xc3\xdc\xc2\xeb\xa3\xa1";
// 打开加密文件失败，请检查文件是否被占用
const Text kProtectedFileLocked =
    "\xb4\xf2\xbf\xaa\xbc\xd3\xc3\xdc\xce\xc4\xbc\xfe\xca\xa7\xb0\xdc\xa3\xac\xc7\xeb\xbc\xec\xb2"
    "\xe9\xce\xc4\xbc\xfe\xca\xc7\xb7\xf1\xb1\xbb\xd5\xbc\xd3\xc3";
// 打开加密文件失败，您输入的文件密码不正确
const Text kWrongPassword =
    "\xb4\xf2\xbf\xaa\xbc\xd3\xc3\xdc\xce\xc4\xbc\xfe\xca\xa7\xb0\xdc\xa3\xac\xc4\xfa\xca\xe4\xc8"
    "\xeb\xb5\xc4\xce\xc4\xbc\xfe\xc3\xdc\xc2\xeb\xb2\xbb\xd5\xfd\xc8\xb7";
}  // namespace messages

namespace {

bool equals(const Bytes& bytes, const std::array<uint8_t, 4>& expected) {
    return std::equal(bytes.begin(), bytes.end(), expected.begin(), expected.end());
}

}  // namespace

Text passwordCheckText(std::string_view password) {
    constexpr char kHex[] = "0123456789abcdef";
    Md5Digest digest = md5(asBytes(password));
    Text text;
    text.reserve(2 * digest.size());
    for (auto it = digest.rbegin(); it != digest.rend(); ++it) {
        text.push_back(kHex[*it >> 4]);
        text.push_back(kHex[*it & 0x0f]);
    }
    wipe(std::span(digest));
    return text;
}

ReadResult readProtectedSourceFile(std::unique_ptr<PlainFileStream> plain,
                                   const std::filesystem::path& path,
                                   const PasswordPrompt& askPassword) {
    const Bytes version = plain->read(4);
    if (equals(version, kProtectedModuleVersion))
        return {{}, messages::kModuleFileRefused};
    if (!equals(version, kProtectedSourceVersion))
        return {{}, messages::kUnknownVersion};

    std::optional<Text> password = askPassword ? askPassword() : std::nullopt;
    if (!password)
        return {{}, messages::kNoPassword};
    const WipeOnExit wipePassword(*password);

    const int64_t checkAt = plain->tell();
    plain.reset();
    auto stream = DecipheringFileStream::open(path, *password, kProtectedPlainBytes);
    if (!stream)
        return {{}, messages::kProtectedFileLocked};

    // A file that ends before or inside the check bytes cannot match: the stored text comes out
    // shorter than the 32 characters of every check text.
    Bytes stored = stream->seek(checkAt) ? stream->read(kPasswordCheckSize) : Bytes{};
    Text storedText = textUpToZero(stored);
    Text expected = passwordCheckText(*password);
    const bool matches = storedText == expected;
    wipe(std::span(stored));
    wipe(storedText);
    wipe(expected);
    if (!matches)
        return {{}, messages::kWrongPassword};

    // The embedded plain source file begins at offset 40; from here on it reads as a plain one.
    ReadResult result = readMagicAndRest(*stream, stream->read(4));
    stream->close();
    return result;
}

}  // namespace ramulet
