#include "container/sha256.h"

#include <bit>

#include "container/secure_wipe.h"

namespace ramulet {

namespace {

// The first 32 bits of the fractional parts of the cube roots of the first 64 primes.
constexpr std::array<uint32_t, 64> kRound = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

void compress(std::array<uint32_t, 8>& state, const uint8_t* block) {
    std::array<uint32_t, 64> w{};
    for (int t = 0; t < 16; ++t) {
        w[t] = static_cast<uint32_t>(block[4 * t]) << 24 |
               static_cast<uint32_t>(block[4 * t + 1]) << 16 |
               static_cast<uint32_t>(block[4 * t + 2]) << 8 |
               static_cast<uint32_t>(block[4 * t + 3]);
    }
    for (int t = 16; t < 64; ++t) {
        const uint32_t s0 = std::rotr(w[t - 15], 7) ^ std::rotr(w[t - 15], 18) ^ (w[t - 15] >> 3);
        const uint32_t s1 = std::rotr(w[t - 2], 17) ^ std::rotr(w[t - 2], 19) ^ (w[t - 2] >> 10);
        w[t] = w[t - 16] + s0 + w[t - 7] + s1;
    }
    std::array<uint32_t, 8> v = state;
    for (int t = 0; t < 64; ++t) {
        const uint32_t e = v[4];
        const uint32_t a = v[0];
        const uint32_t s1 = std::rotr(e, 6) ^ std::rotr(e, 11) ^ std::rotr(e, 25);
        const uint32_t ch = (e & v[5]) ^ (~e & v[6]);
        const uint32_t t1 = v[7] + s1 + ch + kRound[t] + w[t];
        const uint32_t s0 = std::rotr(a, 2) ^ std::rotr(a, 13) ^ std::rotr(a, 22);
        const uint32_t maj = (a & v[1]) ^ (a & v[2]) ^ (v[1] & v[2]);
        const uint32_t t2 = s0 + maj;
        v[7] = v[6];
        v[6] = v[5];
        v[5] = v[4];
        v[4] = v[3] + t1;
        v[3] = v[2];
        v[2] = v[1];
        v[1] = v[0];
        v[0] = t1 + t2;
    }
    for (int i = 0; i < 8; ++i)
        state[i] += v[i];
    wipe(std::span(w));
    wipe(std::span(v));
}

}  // namespace

Sha256Digest sha256(ByteView data) {
    std::array<uint32_t, 8> state = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                     0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    size_t done = 0;
    for (; data.size() - done >= 64; done += 64)
        compress(state, data.data() + done);

    // The last bytes, the bit 1, zeros, and the message length in bits (big-endian), filling one
    // or two blocks.
    std::array<uint8_t, 128> tail{};
    const size_t rest = data.size() - done;
    for (size_t i = 0; i < rest; ++i)
        tail[i] = data[done + i];
    tail[rest] = 0x80;
    const size_t tailSize = rest < 56 ? 64 : 128;
    const uint64_t bits = static_cast<uint64_t>(data.size()) * 8;
    for (int i = 0; i < 8; ++i)
        tail[tailSize - 1 - i] = static_cast<uint8_t>(bits >> (8 * i));
    for (size_t at = 0; at < tailSize; at += 64)
        compress(state, tail.data() + at);
    wipe(std::span(tail));

    Sha256Digest digest{};
    for (int i = 0; i < 32; ++i)
        digest[i] = static_cast<uint8_t>(state[i / 4] >> (24 - 8 * (i % 4)));
    wipe(std::span(state));
    return digest;
}

}  // namespace ramulet
