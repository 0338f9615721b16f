// The file drop target that covers the main window: an OLE IDropTarget that accepts the file
// lists Explorer drags (CF_HDROP) and hands the dropped paths on as one text.
#pragma once

#include <windows.h>

#include <ole2.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ramulet::app {

// The dropped paths as the window takes them: one path alone as it is; several, each
// followed by "\r\n" (such a text names no file, so loading it fails).
std::wstring joinDroppedPaths(const std::vector<std::wstring>& paths);

// The paths of a CF_HDROP file list; nullopt when the data holds none.
std::optional<std::vector<std::wstring>> droppedPaths(IDataObject* data);

// Lives as long as the window it is registered on and is revoked before it goes away, so its
// reference count only answers the COM protocol; it never deletes itself.
class FileDropTarget final : public IDropTarget {
  public:
    using DropHandler = std::function<void(std::wstring pathText)>;

    explicit FileDropTarget(DropHandler onDrop) : onDrop_(std::move(onDrop)) {}
    FileDropTarget(const FileDropTarget&) = delete;
    FileDropTarget& operator=(const FileDropTarget&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return references_ > 0 ? --references_ : 0; }

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point,
                                        DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point,
                                   DWORD* effect) override;

    ULONG references() const { return references_; }

  private:
    DropHandler onDrop_;
    ULONG references_ = 0;
    bool acceptable_ = false;  // the data of the drag in progress holds a file list
};

// Registers the target on a window for as long as this object lives (RegisterDragDrop and
// RevokeDragDrop; needs OleInitialize on the thread).
class DropRegistration {
  public:
    DropRegistration() = default;
    ~DropRegistration() { reset(); }
    DropRegistration(const DropRegistration&) = delete;
    DropRegistration& operator=(const DropRegistration&) = delete;

    // Replaces any earlier registration; false when OLE refused it.
    bool registerOn(HWND window, IDropTarget* target);
    bool registered() const { return window_ != nullptr; }
    void reset();

  private:
    HWND window_ = nullptr;  // not owned
};

}  // namespace ramulet::app
