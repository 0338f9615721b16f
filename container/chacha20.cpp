#include "container/chacha20.h"

#include <algorithm>
#include <bit>

#include "container/secure_wipe.h"

namespace ramulet {

namespace {

uint32_t load32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void quarterRound(std::array<uint32_t, 16>& x, int a, int b, int c, int d) {
    x[a] += x[b];
    x[d] = std::rotl(x[d] ^ x[a], 16);
    x[c] += x[d];
    x[b] = std::rotl(x[b] ^ x[c], 12);
    x[a] += x[b];
    x[d] = std::rotl(x[d] ^ x[a], 8);
    x[c] += x[d];
    x[b] = std::rotl(x[b] ^ x[c], 7);
}

}  // namespace

ChaChaBlock chacha20Block(const ChaChaKey& key, uint32_t counter, const ChaChaNonce& nonce) {
    // "expand 32-byte k", then the key, the counter and the nonce as little-endian words.
    std::array<uint32_t, 16> initial = {0x61707865, 0x3320646e, 0x79622d32, 0x6b206574};
    for (int i = 0; i < 8; ++i)
        initial[4 + i] = load32(key.data() + 4 * i);
    initial[12] = counter;
    for (int i = 0; i < 3; ++i)
        initial[13 + i] = load32(nonce.data() + 4 * i);

    std::array<uint32_t, 16> x = initial;
    for (int round = 0; round < 10; ++round) {
        quarterRound(x, 0, 4, 8, 12);  // columns
        quarterRound(x, 1, 5, 9, 13);
        quarterRound(x, 2, 6, 10, 14);
        quarterRound(x, 3, 7, 11, 15);
        quarterRound(x, 0, 5, 10, 15);  // diagonals
        quarterRound(x, 1, 6, 11, 12);
        quarterRound(x, 2, 7, 8, 13);
        quarterRound(x, 3, 4, 9, 14);
    }
    ChaChaBlock out{};
    for (int i = 0; i < 16; ++i) {
        const uint32_t word = x[i] + initial[i];
        for (int j = 0; j < 4; ++j)
            out[4 * i + j] = static_cast<uint8_t>(word >> (8 * j));
    }
    wipe(std::span(initial));
    wipe(std::span(x));
    return out;
}

ChaCha20Cipher::ChaCha20Cipher(const ChaChaKey& key, const ChaChaNonce& nonce,
                               uint32_t initialCounter)
    : key_(key), nonce_(nonce), initialCounter_(initialCounter) {}

ChaCha20Cipher::~ChaCha20Cipher() {
    wipe(std::span(key_));
}

void ChaCha20Cipher::apply(uint64_t position, std::span<uint8_t> data) const {
    size_t done = 0;
    while (done < data.size()) {
        const uint64_t at = position + done;
        // The counter is 32 bits wide; keystream positions past 256 GiB wrap around.
        const auto counter = static_cast<uint32_t>(initialCounter_ + at / 64);
        const auto within = static_cast<size_t>(at % 64);
        ChaChaBlock block = chacha20Block(key_, counter, nonce_);
        const size_t n = std::min(data.size() - done, block.size() - within);
        for (size_t i = 0; i < n; ++i)
            data[done + i] ^= block[within + i];
        wipe(std::span(block));
        done += n;
    }
}

}  // namespace ramulet
