// The ChaCha20 stream cipher (RFC 8439): 20 rounds, a 256-bit key, a 96-bit nonce and a 32-bit
// block counter; each 64-byte block of keystream is the block function of (key, counter, nonce).
#pragma once

#include <array>
#include <cstdint>

#include "container/stream_cipher.h"

namespace ramulet {

using ChaChaKey = std::array<uint8_t, 32>;
using ChaChaNonce = std::array<uint8_t, 12>;
using ChaChaBlock = std::array<uint8_t, 64>;

// One 64-byte block of keystream, serialised little-endian as RFC 8439 section 2.3 describes.
ChaChaBlock chacha20Block(const ChaChaKey& key, uint32_t counter, const ChaChaNonce& nonce);

class ChaCha20Cipher final : public StreamCipher {
  public:
    // Keystream byte k comes from block initialCounter + k / 64 (modulo 2^32), at k mod 64.
    ChaCha20Cipher(const ChaChaKey& key, const ChaChaNonce& nonce, uint32_t initialCounter = 0);
    ~ChaCha20Cipher() override;  // wipes the key
    ChaCha20Cipher(const ChaCha20Cipher&) = delete;
    ChaCha20Cipher& operator=(const ChaCha20Cipher&) = delete;

    void apply(uint64_t position, std::span<uint8_t> data) const override;

  private:
    ChaChaKey key_;
    ChaChaNonce nonce_;
    uint32_t initialCounter_;
};

}  // namespace ramulet
