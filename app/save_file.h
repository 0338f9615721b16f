// Writing the saved source file so that the target is either the old file or the complete new
// one, never a part of either.
#pragma once

#include <windows.h>

#include <string>

#include "container/bytes.h"

namespace ramulet::app {

struct SaveFailure {
    DWORD code = ERROR_SUCCESS;  // the system error of the step that failed
    std::wstring reason;         // the system's words for it (FormatMessageW)

    explicit operator bool() const { return code != ERROR_SUCCESS; }
};

// Writes the bytes to a fresh temporary file in the target's folder, flushes it, and only then
// moves it over the target (MoveFileExW with MOVEFILE_REPLACE_EXISTING and
// MOVEFILE_WRITE_THROUGH). A read-only target is refused. On failure the target is untouched and
// the temporary file is gone.
SaveFailure replaceFileContents(const std::wstring& target, ByteView bytes);

// The system's message for an error code, without its line break, followed by the code.
std::wstring systemErrorText(DWORD code);

}  // namespace ramulet::app
