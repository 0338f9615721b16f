// The modal dialogs of the window program, each "data in, data out": what the dialog needs
// goes in as arguments, and the answer comes back only when the user confirmed.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace ramulet::app {

// An error message: OK button, error icon, title "信息：".
void showErrorBox(HWND owner, const std::wstring& text);

// "是否保存当前文件？" with OK and Cancel, question icon, title "信息：". True for OK.
bool askSaveCurrentFile(HWND owner);

struct SaveFileRequest {
    std::wstring title;
    std::wstring filter;  // pairs of NUL-ended texts, as GetSaveFileNameW takes them
    std::wstring defaultExtension;
    std::wstring initialDirectory;
};

// The save-file dialog (asks before replacing a file). The chosen path, or nullopt when the
// user cancelled.
std::optional<std::wstring> askSaveFileName(HWND owner, const SaveFileRequest& request);

// The request the main window uses: its title, filter and extension, starting in the folder of
// the program itself followed by one backslash.
SaveFileRequest sourceFileSaveRequest();

// The folder of the running executable, without a trailing backslash.
std::wstring programFolder();

}  // namespace ramulet::app
