// Password-protected source files: "WTLE", a version, then an enciphered stream holding a
// 32-byte password check text and the whole plain source file.
#pragma once

#include <filesystem>

#include "container/file_stream.h"
#include "container/source_file.h"

namespace ramulet {

// Continues reading a file whose first 4 bytes were "WTLE"; `plain` stands at offset 4 and is
// closed by this function before it opens the deciphering stream.
ReadResult readProtectedSourceFile(std::unique_ptr<PlainFileStream> plain,
                                   const std::filesystem::path& path,
                                   const PasswordPrompt& askPassword);

}  // namespace ramulet
