// The MD5 message digest (RFC 1321). Used only for the password check text of protected files,
// where the file format prescribes it; it is not used for anything that needs a secure hash.
#pragma once

#include <array>
#include <cstdint>

#include "container/bytes.h"

namespace ramulet {

using Md5Digest = std::array<uint8_t, 16>;

Md5Digest md5(ByteView data);

}  // namespace ramulet
