// The SHA-256 hash (FIPS 180-4). Turns the password of a protected file into its 256-bit key.
#pragma once

#include <array>
#include <cstdint>

#include "container/bytes.h"

namespace ramulet {

using Sha256Digest = std::array<uint8_t, 32>;

Sha256Digest sha256(ByteView data);

}  // namespace ramulet
