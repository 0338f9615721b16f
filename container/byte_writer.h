// Little-endian writer, the counterpart of ByteReader.
#pragma once

#include <cstdint>

#include "container/bytes.h"

namespace ramulet {

class ByteWriter {
  public:
    void u8(uint8_t v) { out_.push_back(v); }
    void i16(int16_t v) { little(static_cast<uint16_t>(v), 2); }
    void i32(int32_t v) { little(static_cast<uint32_t>(v), 4); }
    void u32(uint32_t v) { little(v, 4); }
    void bytes(ByteView b) { out_.insert(out_.end(), b.begin(), b.end()); }
    void text(std::string_view t) { bytes(asBytes(t)); }
    // A field of fixed size: the bytes held, cut or padded with zero bytes to that size.
    void fixedBytes(ByteView b, size_t size) {
        const size_t kept = b.size() < size ? b.size() : size;
        bytes(b.first(kept));
        out_.insert(out_.end(), size - kept, 0);
    }
    // A text followed by one zero byte.
    void zeroText(std::string_view t) {
        text(t);
        u8(0);
    }
    // An int32 byte count, then the bytes.
    void lenBytes(ByteView b) {
        i32(static_cast<int32_t>(b.size()));
        bytes(b);
    }
    // An int32 byte count, then the text without terminator.
    void lenText(std::string_view t) { lenBytes(asBytes(textBeforeZero(t))); }

    size_t size() const { return out_.size(); }
    const Bytes& data() const { return out_; }
    Bytes take() { return std::move(out_); }

  private:
    static std::string_view textBeforeZero(std::string_view t) {
        const auto zero = t.find('\0');
        return zero == std::string_view::npos ? t : t.substr(0, zero);
    }
    void little(uint32_t v, int size) {
        for (int i = 0; i < size; ++i)
            out_.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    Bytes out_;
};

}  // namespace ramulet
