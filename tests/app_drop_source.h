// The dragging side of an OLE file drop, as Explorer offers it: a data object holding a file
// list (CF_HDROP) and a drop source that drops when the left button is released.
#pragma once

#include <windows.h>

#include <ole2.h>

#include <string>
#include <vector>

namespace ramulet::apptest {

// Lives on the stack of the test that drags it; the reference count answers COM only.
class FileListData final : public IDataObject {
  public:
    explicit FileListData(std::vector<std::wstring> paths) : paths_(std::move(paths)) {}
    FileListData(const FileListData&) = delete;
    FileListData& operator=(const FileListData&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return references_ > 0 ? --references_ : 0; }

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }

  private:
    std::vector<std::wstring> paths_;
    ULONG references_ = 0;
};

class LeftButtonDropSource final : public IDropSource {
  public:
    LeftButtonDropSource() = default;
    LeftButtonDropSource(const LeftButtonDropSource&) = delete;
    LeftButtonDropSource& operator=(const LeftButtonDropSource&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return references_ > 0 ? --references_ : 0; }

    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override;
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

  private:
    ULONG references_ = 0;
};

// Drags the files with real mouse input from `from` to `to` (screen points) through OLE, as
// a drag out of Explorer does, and drops them there. The effect the target chose.
DWORD dragFilesWithMouse(const std::vector<std::wstring>& paths, POINT from, POINT to);

}  // namespace ramulet::apptest
