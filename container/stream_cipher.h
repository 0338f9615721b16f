// A keyed stream cipher: a keystream XORed into the data, so that enciphering and deciphering
// are the same operation. The deciphering file stream only knows this interface; the cipher of
// protected files is chosen in one place, `cipherForPassword`.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace ramulet {

class StreamCipher {
  public:
    virtual ~StreamCipher() = default;
    // XORs the keystream bytes from `position` (0-based, counted in the keystream) onward into
    // `data`. Any position may be given, so a reader can seek anywhere.
    virtual void apply(uint64_t position, std::span<uint8_t> data) const = 0;
};

// The cipher of protected files for a password (GBK bytes as typed; the empty password is a
// password too): ChaCha20 (RFC 8439) keyed with the SHA-256 digest of the password's bytes,
// with a nonce of 12 zero bytes and the block counter starting at 0. The file layout has no
// room for a salt or a nonce, so the key is the same for every file with the same password.
std::unique_ptr<StreamCipher> cipherForPassword(std::string_view password);

}  // namespace ramulet
