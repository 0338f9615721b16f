// The password prompt for a protected source file: a modal dialog built in memory, with a
// prompt text, one ordinary one-line text field and OK and Cancel.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace ramulet::app {

struct TextPromptRequest {
    std::wstring title;
    std::wstring prompt;
    std::wstring initialText;
};

// The text as typed when the user chose OK (the empty text is an answer too); nullopt when the
// user cancelled or closed the dialog.
std::optional<std::wstring> askText(HWND owner, const TextPromptRequest& request);

// The request for a source file's password: title "请提供文件密码", prompt "请提供源文件密码",
// empty initial text.
TextPromptRequest passwordRequest();

// Control identifiers inside the prompt, for tests that answer it.
inline constexpr int kPromptTextId = 1001;
inline constexpr int kPromptEditId = 1002;

}  // namespace ramulet::app
