// Password-protected source files.
//
//   offset  size  stored      content
//        0     4  plain       "WTLE"
//        4     4  plain       version: 01 00 00 00 source file, 01 00 02 00 module file
//        8    32  enciphered  password check text: ASCII, ended by a zero byte or by the 32 bytes
//       40     n  enciphered  the whole plain source file, from its "CNWTEPRG" to the end
//
// Everything from offset 8 on is read through the deciphering stream. Only source files are
// opened; the program never writes a protected file.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>

#include "container/file_stream.h"
#include "container/source_file.h"

namespace ramulet {

inline constexpr std::array<uint8_t, 4> kProtectedMagic = {'W', 'T', 'L', 'E'};
inline constexpr std::array<uint8_t, 4> kProtectedSourceVersion = {1, 0, 0, 0};
inline constexpr std::array<uint8_t, 4> kProtectedModuleVersion = {1, 0, 2, 0};
inline constexpr int64_t kProtectedPlainBytes = 8;  // magic and version
inline constexpr int64_t kPasswordCheckSize = 32;

// The check text stored for a password (GBK bytes as typed, no terminator): the MD5 digest of
// the password's bytes, written from its 16th byte to its 1st, each as two lowercase hex digits.
Text passwordCheckText(std::string_view password);

// Continues reading a file whose first 4 bytes were "WTLE"; `plain` stands at offset 4 and is
// closed by this function before it opens the deciphering stream. The password is asked for
// only when the version is that of a source file, and is wiped before the function returns.
ReadResult readProtectedSourceFile(std::unique_ptr<PlainFileStream> plain,
                                   const std::filesystem::path& path,
                                   const PasswordPrompt& askPassword);

// Message texts of protected files, as GBK.
namespace messages {
extern const Text kModuleFileRefused;
extern const Text kUnknownVersion;
extern const Text kNoPassword;
extern const Text kProtectedFileLocked;
extern const Text kWrongPassword;
}  // namespace messages

}  // namespace ramulet
