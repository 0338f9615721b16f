// Typed, move-only owners for the Win32 handles of the tree: each owner's type names the one
// function that may release its handle.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <type_traits>

namespace ramulet {

template <auto Close>
struct Closer {
    template <class H>
    void operator()(H handle) const noexcept {
        Close(handle);
    }
};

using UniqueImageList =
    std::unique_ptr<std::remove_pointer_t<HIMAGELIST>, Closer<&ImageList_Destroy>>;
using UniqueBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, Closer<&DeleteObject>>;
using UniqueBrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, Closer<&DeleteObject>>;
using UniquePen = std::unique_ptr<std::remove_pointer_t<HPEN>, Closer<&DeleteObject>>;
using UniqueMemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, Closer<&DeleteDC>>;
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, Closer<&DestroyWindow>>;

// Selects a GDI object into a device context and selects the previous one back on scope exit.
class ScopedSelect {
  public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~ScopedSelect() { SelectObject(dc_, previous_); }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

  private:
    HDC dc_;  // not owned
    HGDIOBJ previous_;
};

}  // namespace ramulet
