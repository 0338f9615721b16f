#include "app_drop_source.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <thread>

#include "app_test_support.h"

namespace ramulet::apptest {

namespace {

bool isFileList(const FORMATETC* format) {
    return format != nullptr && format->cfFormat == CF_HDROP &&
           (format->tymed & TYMED_HGLOBAL) != 0 && format->dwAspect == DVASPECT_CONTENT;
}

// A DROPFILES block with the wide paths, each NUL-ended, and one more NUL.
HGLOBAL makeDropFiles(const std::vector<std::wstring>& paths) {
    size_t units = 1;
    for (const std::wstring& path : paths)
        units += path.size() + 1;
    const size_t bytes = sizeof(DROPFILES) + units * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, bytes);
    if (memory == nullptr)
        return nullptr;
    auto* block = static_cast<DROPFILES*>(GlobalLock(memory));
    block->pFiles = sizeof(DROPFILES);
    block->fWide = TRUE;
    auto* text = reinterpret_cast<wchar_t*>(reinterpret_cast<char*>(block) + sizeof(DROPFILES));
    for (const std::wstring& path : paths) {
        std::memcpy(text, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
        text += path.size() + 1;
    }
    *text = L'\0';
    GlobalUnlock(memory);
    return memory;
}

}  // namespace

HRESULT FileListData::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
        *object = static_cast<IDataObject*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT FileListData::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (medium == nullptr)
        return E_POINTER;
    if (!isFileList(format))
        return DV_E_FORMATETC;
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = makeDropFiles(paths_);
    medium->pUnkForRelease = nullptr;
    return medium->hGlobal != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT FileListData::QueryGetData(FORMATETC* format) {
    return isFileList(format) ? S_OK : DV_E_FORMATETC;
}

HRESULT FileListData::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
    if (out != nullptr)
        out->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

HRESULT FileListData::EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) {
    if (direction != DATADIR_GET)
        return E_NOTIMPL;
    FORMATETC fileList{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    return SHCreateStdEnumFmtEtc(1, &fileList, formats);
}

HRESULT LeftButtonDropSource::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropSource)) {
        *object = static_cast<IDropSource*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT LeftButtonDropSource::QueryContinueDrag(BOOL escape, DWORD keys) {
    if (escape)
        return DRAGDROP_S_CANCEL;
    if ((keys & MK_LBUTTON) == 0)
        return DRAGDROP_S_DROP;
    return S_OK;
}

namespace {

DWORD dragOnce(const std::vector<std::wstring>& paths, POINT from, POINT to) {
    // OLE on the calling thread for the time of the drag (counted: nesting is fine).
    struct OleOnThisThread {
        HRESULT result = OleInitialize(nullptr);
        ~OleOnThisThread() {
            if (SUCCEEDED(result))
                OleUninitialize();
        }
    } ole;
    FileListData data(paths);
    LeftButtonDropSource source;
    moveMouse(from);
    INPUT press{};
    press.type = INPUT_MOUSE;
    press.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SendInput(1, &press, sizeof press);
    // DoDragDrop runs its own loop on this thread until the release; the mouse moves and the
    // release come from a second thread meanwhile.
    std::thread hand([from, to] {
        std::this_thread::sleep_for(300ms);
        constexpr int kSteps = 10;
        for (int i = 1; i <= kSteps; ++i) {
            moveMouse(
                {from.x + (to.x - from.x) * i / kSteps, from.y + (to.y - from.y) * i / kSteps});
            // Each step a moment apart, so that the drag loop sees every one of them.
            std::this_thread::sleep_for(30ms);
        }
        std::this_thread::sleep_for(200ms);
        moveMouse(to);
        INPUT release{};
        release.type = INPUT_MOUSE;
        release.mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(1, &release, sizeof release);
    });
    DWORD effect = DROPEFFECT_NONE;
    DoDragDrop(&data, &source, DROPEFFECT_COPY | DROPEFFECT_LINK, &effect);
    hand.join();
    return effect;
}

}  // namespace

DWORD dragFilesWithMouse(const std::vector<std::wstring>& paths, POINT from, POINT to) {
    // Under Wine the drag loop now and then misses the press that started it and ends at once
    // with no drop; such an attempt is repeated. A drop the window took answers with an effect.
    DWORD effect = DROPEFFECT_NONE;
    for (int attempt = 0; attempt < 3 && effect == DROPEFFECT_NONE; ++attempt) {
        effect = dragOnce(paths, from, to);
    }
    return effect;
}

}  // namespace ramulet::apptest
