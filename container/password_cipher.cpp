// The cipher of protected files and how its key comes from the password.
#include "container/chacha20.h"
#include "container/secure_wipe.h"
#include "container/sha256.h"
#include "container/stream_cipher.h"

namespace ramulet {

std::unique_ptr<StreamCipher> cipherForPassword(std::string_view password) {
    Sha256Digest key = sha256(asBytes(password));
    auto cipher = std::make_unique<ChaCha20Cipher>(key, ChaChaNonce{}, 0);
    wipe(std::span(key));
    return cipher;
}

}  // namespace ramulet
