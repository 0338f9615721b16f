// The digests and the cipher behind protected files, against their published test vectors.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "container/chacha20.h"
#include "container/md5.h"
#include "container/sha256.h"
#include "container/stream_cipher.h"

namespace ramulet {
namespace {

std::string hex(ByteView bytes) {
    constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (uint8_t b : bytes) {
        out.push_back(kDigits[b >> 4]);
        out.push_back(kDigits[b & 0x0f]);
    }
    return out;
}

// RFC 1321, appendix A.5.
TEST(crypto_test, md5_matches_the_rfc_test_suite) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"1234567890123456789012345678901234567890123456789012345678901234567890123456789"
         "0",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& [message, digest] : cases)
        EXPECT_EQ(hex(md5(asBytes(message))), digest) << '"' << message << '"';
}

// FIPS 180-4 examples: one block, two blocks (the 56-byte message pads into a second block),
// a 112-byte message and one million 'a'.
TEST(crypto_test, sha256_matches_the_standard_examples) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnop"
         "qrlmnopqrsmnopqrstnopqrstu",
         "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& [message, digest] : cases)
        EXPECT_EQ(hex(sha256(asBytes(message))), digest) << message.size() << " bytes";
}

ChaChaKey sequentialKey() {
    ChaChaKey key{};
    for (size_t i = 0; i < key.size(); ++i)
        key[i] = static_cast<uint8_t>(i);
    return key;
}

// RFC 8439, section 2.3.2.
TEST(crypto_test, chacha20_block_function_matches_the_rfc) {
    const ChaChaNonce nonce = {0, 0, 0, 0x09, 0, 0, 0, 0x4a, 0, 0, 0, 0};
    EXPECT_EQ(hex(chacha20Block(sequentialKey(), 1, nonce)),
              "10f1e7e4d13b5915500fdd1fa32071c4c7d1f4c733c068030422aa9ac3d46c4e"
              "d2826446079faa0914c2d705d98b02a2b5129cd1de164eb9cbd083e8a2503c4e");
}

// RFC 8439, section 2.4.2: 114 bytes over two blocks, counter starting at 1.
TEST(crypto_test, chacha20_encryption_matches_the_rfc) {
    const ChaChaNonce nonce = {0, 0, 0, 0, 0, 0, 0, 0x4a, 0, 0, 0, 0};
    const std::string text =
        "Ladies and Gentlemen of the class of '99: If I could offer you only one tip for the "
        "future, sunscreen would be it.";
    Bytes data(text.begin(), text.end());
    const ChaCha20Cipher cipher(sequentialKey(), nonce, 1);
    cipher.apply(0, data);
    EXPECT_EQ(hex(data),
              "6e2e359a2568f98041ba0728dd0d6981e97e7aec1d4360c20a27afccfd9fae0b"
              "f91b65c5524733ab8f593dabcd62b3571639d624e65152ab8f530c359f0861d8"
              "07ca0dbf500d6a6156a38e088a22b65e52bc514d16ccf806818ce91ab7793736"
              "5af90bbf74a35be6b40b8eedf2785e42874d");
    cipher.apply(0, data);
    EXPECT_EQ(std::string(data.begin(), data.end()), text);
}

// RFC 8439, appendix A.1, test vectors 1 and 2: the all-zero key and nonce, counters 0 and 1,
// which is the keystream layout of protected files.
TEST(crypto_test, chacha20_keystream_from_counter_zero_matches_the_rfc) {
    Bytes data(128, 0);
    ChaCha20Cipher(ChaChaKey{}, ChaChaNonce{}, 0).apply(0, data);
    EXPECT_EQ(hex(data),
              "76b8e0ada0f13d90405d6ae55386bd28bdd219b8a08ded1aa836efcc8b770dc7"
              "da41597c5157488d7724e03fb8d84a376a43b8f41518a11cc387b669b2ee6586"
              "9f07e7be5551387a98ba977c732d080dcb0f29a048e3656912c6533e32ee7aed"
              "29b721769ce64e43d57133b074d839d531ed1f28510afb45ace10a1f4b794d6f");
}

// Applying the keystream in pieces from any position gives the same bytes as in one go.
TEST(crypto_test, chacha20_keystream_can_start_anywhere) {
    const ChaCha20Cipher cipher(sequentialKey(), ChaChaNonce{}, 0);
    Bytes whole(300, 0);
    cipher.apply(0, whole);
    const std::pair<size_t, size_t> pieces[] = {{0, 1},   {1, 62},  {63, 1},   {63, 2},
                                                {64, 64}, {100, 1}, {127, 70}, {250, 50}};
    for (const auto& [at, size] : pieces) {
        Bytes part(size, 0);
        cipher.apply(at, part);
        EXPECT_EQ(part, Bytes(whole.begin() + at, whole.begin() + at + size))
            << "at " << at << ", " << size << " bytes";
    }
}

TEST(crypto_test, password_cipher_is_chacha20_keyed_with_sha256_of_the_password) {
    const std::string password =
        "\xc3\xdc\xc2\xeb"
        "abc";  // GBK "密码abc"
    Bytes data(64, 0);
    cipherForPassword(password)->apply(0, data);
    const ChaChaBlock expected = chacha20Block(sha256(asBytes(password)), 0, ChaChaNonce{});
    EXPECT_EQ(data, Bytes(expected.begin(), expected.end()));
    // The empty password is a password, with a key of its own.
    Bytes empty(64, 0);
    cipherForPassword("")->apply(0, empty);
    const ChaChaBlock emptyExpected = chacha20Block(sha256({}), 0, ChaChaNonce{});
    EXPECT_EQ(empty, Bytes(emptyExpected.begin(), emptyExpected.end()));
    EXPECT_NE(empty, data);
}

}  // namespace
}  // namespace ramulet
