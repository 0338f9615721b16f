#include "app/file_drop_target.h"

#include <shellapi.h>

namespace ramulet::app {

namespace {

FORMATETC fileListFormat() {
    return {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

bool holdsFileList(IDataObject* data) {
    FORMATETC format = fileListFormat();
    return data != nullptr && data->QueryGetData(&format) == S_OK;
}

// Releases a storage medium that GetData filled.
class StorageMedium {
  public:
    StorageMedium() = default;
    ~StorageMedium() { ReleaseStgMedium(&medium_); }
    StorageMedium(const StorageMedium&) = delete;
    StorageMedium& operator=(const StorageMedium&) = delete;
    STGMEDIUM* get() { return &medium_; }

  private:
    STGMEDIUM medium_{};
};

// Keeps a global memory block locked while it is read.
class LockedGlobal {
  public:
    explicit LockedGlobal(HGLOBAL memory) : memory_(memory), data_(GlobalLock(memory)) {}
    ~LockedGlobal() {
        if (data_ != nullptr)
            GlobalUnlock(memory_);
    }
    LockedGlobal(const LockedGlobal&) = delete;
    LockedGlobal& operator=(const LockedGlobal&) = delete;
    void* data() const { return data_; }

  private:
    HGLOBAL memory_;
    void* data_;
};

// Opening a file takes nothing from the source: copy when the source allows it, else the
// first effect it offers.
DWORD copyEffect(DWORD allowed) {
    if (allowed & DROPEFFECT_COPY)
        return DROPEFFECT_COPY;
    if (allowed & DROPEFFECT_LINK)
        return DROPEFFECT_LINK;
    return allowed & DROPEFFECT_MOVE;
}

}  // namespace

std::wstring joinDroppedPaths(const std::vector<std::wstring>& paths) {
    if (paths.size() == 1)
        return paths.front();
    std::wstring text;
    for (const std::wstring& path : paths)
        text += path + L"\r\n";
    return text;
}

std::optional<std::vector<std::wstring>> droppedPaths(IDataObject* data) {
    if (!holdsFileList(data))
        return std::nullopt;
    FORMATETC format = fileListFormat();
    StorageMedium medium;
    if (data->GetData(&format, medium.get()) != S_OK || medium.get()->tymed != TYMED_HGLOBAL)
        return std::nullopt;
    LockedGlobal lock(medium.get()->hGlobal);
    if (lock.data() == nullptr)
        return std::nullopt;
    const auto drop = static_cast<HDROP>(lock.data());
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    std::vector<std::wstring> paths;
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        const UINT copied = DragQueryFileW(drop, i, path.data(), length + 1);
        path.resize(copied);
        paths.push_back(std::move(path));
    }
    return paths;
}

HRESULT FileDropTarget::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT FileDropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) {
    acceptable_ = holdsFileList(data);
    if (effect != nullptr)
        *effect = acceptable_ ? copyEffect(*effect) : DROPEFFECT_NONE;
    return S_OK;
}

HRESULT FileDropTarget::DragOver(DWORD, POINTL, DWORD* effect) {
    if (effect != nullptr)
        *effect = acceptable_ ? copyEffect(*effect) : DROPEFFECT_NONE;
    return S_OK;
}

HRESULT FileDropTarget::DragLeave() {
    acceptable_ = false;
    return S_OK;
}

HRESULT FileDropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) {
    acceptable_ = false;
    const auto paths = droppedPaths(data);
    if (!paths || paths->empty()) {
        if (effect != nullptr)
            *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    if (effect != nullptr)
        *effect = copyEffect(*effect);
    // The handler only takes note of the text: the work (and its message boxes) must not run
    // while the drag source waits for this call to return.
    onDrop_(joinDroppedPaths(*paths));
    return S_OK;
}

bool DropRegistration::registerOn(HWND window, IDropTarget* target) {
    reset();
    if (RegisterDragDrop(window, target) != S_OK)
        return false;
    window_ = window;
    return true;
}

void DropRegistration::reset() {
    if (window_ != nullptr)
        RevokeDragDrop(window_);
    window_ = nullptr;
}

}  // namespace ramulet::app
