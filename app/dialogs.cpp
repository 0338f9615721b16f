#include "app/dialogs.h"

#include <commdlg.h>

#include <vector>

#include "app/ui_texts.h"

namespace ramulet::app {

void showErrorBox(HWND owner, const std::wstring& text) {
    MessageBoxW(owner, text.c_str(), ui::kMessageTitle, MB_OK | MB_ICONERROR);
}

bool askSaveCurrentFile(HWND owner) {
    return MessageBoxW(owner, ui::kSaveQuestion, ui::kMessageTitle,
                       MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

std::optional<std::wstring> askSaveFileName(HWND owner, const SaveFileRequest& request) {
    // Room for a long path; the dialog writes the chosen name here.
    std::vector<wchar_t> name(32768, L'\0');
    std::wstring filter = request.filter;
    filter.push_back(L'\0');  // the list ends with an empty text

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.lpstrInitialDir = request.initialDirectory.c_str();
    dialog.lpstrTitle = request.title.c_str();
    dialog.lpstrDefExt = request.defaultExtension.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    if (!GetSaveFileNameW(&dialog))
        return std::nullopt;
    return std::wstring(name.data());
}

SaveFileRequest sourceFileSaveRequest() {
    SaveFileRequest request;
    request.title = ui::kSaveDialogTitle;
    // The literal holds "name\0pattern"; its size includes the NUL after the pattern.
    request.filter.assign(ui::kSaveDialogFilter, std::size(ui::kSaveDialogFilter) - 1);
    request.defaultExtension = ui::kSaveDialogExtension;
    request.initialDirectory = programFolder() + L"\\";
    return request;
}

std::wstring programFolder() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return L".";
        if (length < path.size()) {
            std::wstring full(path.data(), length);
            const size_t slash = full.find_last_of(L"\\/");
            return slash == std::wstring::npos ? std::wstring(L".") : full.substr(0, slash);
        }
        path.resize(path.size() * 2);  // cut short: try a larger buffer
    }
}

}  // namespace ramulet::app
