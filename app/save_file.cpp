#include "app/save_file.h"

#include <filesystem>

#include "app/ui_texts.h"
#include "app/win32_owners.h"

namespace ramulet::app {

namespace {

// The temporary file: removed again unless it was moved over the target.
class TemporaryFile {
  public:
    explicit TemporaryFile(std::wstring path) : path_(std::move(path)) {}
    ~TemporaryFile() {
        if (!committed_)
            DeleteFileW(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::wstring& path() const { return path_; }
    void committed() { committed_ = true; }

  private:
    std::wstring path_;
    bool committed_ = false;
};

SaveFailure lastError() {
    const DWORD code = GetLastError();
    const DWORD known = code == ERROR_SUCCESS ? ERROR_GEN_FAILURE : code;
    return {known, systemErrorText(known)};
}

std::wstring folderOf(const std::wstring& target) {
    const std::filesystem::path parent = std::filesystem::path(target).parent_path();
    return parent.empty() ? std::wstring(L".") : parent.wstring();
}

bool writeAll(HANDLE file, ByteView bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

}  // namespace

std::wstring systemErrorText(DWORD code) {
    wchar_t buffer[512] = {};
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                       buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
    std::wstring text(buffer, length);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' '))
        text.pop_back();
    if (!text.empty())
        text += L' ';
    return text + L"（" + ui::kErrorCode + L" " + std::to_wstring(code) + L"）";
}

SaveFailure replaceFileContents(const std::wstring& target, ByteView bytes) {
    // A read-only file is one the user asked us not to change. Windows refuses to move a file
    // over it, but not every implementation of MoveFileExW does (Wine replaces it), so the
    // attribute is checked here, with the error Windows would give.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return {ERROR_ACCESS_DENIED, systemErrorText(ERROR_ACCESS_DENIED)};
    // GetTempFileNameW creates the file, so the name stays ours until it is moved or removed.
    wchar_t tempName[MAX_PATH + 16] = {};
    if (GetTempFileNameW(folderOf(target).c_str(), L"rml", 0, tempName) == 0)
        return lastError();
    TemporaryFile temp(tempName);
    {
        UniqueHandle file =
            ownFileHandle(CreateFileW(temp.path().c_str(), GENERIC_WRITE, 0, nullptr,
                                      TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            return lastError();
        if (!writeAll(file.get(), bytes) || !FlushFileBuffers(file.get()))
            return lastError();
    }  // closed before the move
    if (!MoveFileExW(temp.path().c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return lastError();
    temp.committed();
    return {};
}

}  // namespace ramulet::app
