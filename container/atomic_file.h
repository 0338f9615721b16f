// Writing a whole file so that the target is either the old file or the complete new one.
#pragma once

#include <filesystem>
#include <string>

#include "container/bytes.h"

namespace ramulet {

// Writes the bytes to a temporary file beside the target, flushes it to disk and only then
// renames it over the target. On failure the target is untouched, the temporary file is
// removed, and the result is a reason in the system's words (UTF-8 on POSIX, the locale's
// message on Windows); empty on success.
std::string writeFileAtomically(const std::filesystem::path& target, ByteView bytes);

}  // namespace ramulet
