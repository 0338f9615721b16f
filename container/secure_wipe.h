// Overwriting secrets (passwords, keys, keystream) before their memory is given back, in a way
// the compiler may not leave out as a dead store.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace ramulet {

inline void wipeBytes(void* data, size_t size) noexcept {
    volatile uint8_t* p = static_cast<volatile uint8_t*>(data);
    for (size_t i = 0; i < size; ++i)
        p[i] = 0;
}

template <typename T, size_t N>
void wipe(std::span<T, N> data) noexcept {
    wipeBytes(data.data(), data.size_bytes());
}

inline void wipe(std::string& text) noexcept {
    wipeBytes(text.data(), text.size());
    text.clear();
}

// Wipes a string when the scope that holds it ends, on every way out.
class WipeOnExit {
  public:
    explicit WipeOnExit(std::string& text) noexcept : text_(text) {}
    ~WipeOnExit() { wipe(text_); }
    WipeOnExit(const WipeOnExit&) = delete;
    WipeOnExit& operator=(const WipeOnExit&) = delete;

  private:
    std::string& text_;
};

}  // namespace ramulet
