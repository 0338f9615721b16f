// Typed owners for the Win32 handles of the window program: each owner's type names the one
// function that may release its handle.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace ramulet::app {

template <auto Close>
struct HandleCloser {
    template <class H>
    void operator()(H handle) const noexcept {
        Close(handle);
    }
};

// A kernel handle; INVALID_HANDLE_VALUE must be turned into null before it is owned.
using UniqueHandle = std::unique_ptr<void, HandleCloser<&CloseHandle>>;
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, HandleCloser<&DeleteObject>>;
using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, HandleCloser<&DestroyIcon>>;

inline UniqueHandle ownFileHandle(HANDLE handle) {
    return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

}  // namespace ramulet::app
