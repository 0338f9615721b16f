// Reading a source file from disk: a plain file, or a protected one through its deciphering
// stream. The result is always the plain file, from its "CNWTEPRG" to the end.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>

#include "container/bytes.h"

namespace ramulet {

// Asks the user for the password of a protected file; nullopt when the user cancelled.
// The returned text is GBK, as typed.
using PasswordPrompt = std::function<std::optional<Text>()>;

struct ReadResult {
    Bytes bytes;
    Text error;  // GBK message text; empty on success
};

ReadResult readSourceFile(const std::filesystem::path& path, const PasswordPrompt& askPassword);

}  // namespace ramulet

namespace ramulet {

// Steps shared by plain and protected files: with the first 4 bytes already read, reads 4 more,
// checks the magic "CNWTEPRG" and reads everything after it.
class InputStream;
ReadResult readMagicAndRest(InputStream& stream, Bytes firstFour);

}  // namespace ramulet
