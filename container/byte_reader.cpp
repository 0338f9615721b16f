#include "container/byte_reader.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace ramulet {

int valueSize(ValueKind kind) {
    switch (kind) {
        case ValueKind::Byte:
            return 1;
        case ValueKind::Short:
            return 2;
        case ValueKind::Int:
        case ValueKind::Float:
        case ValueKind::Bool:
        case ValueKind::RoutinePointer:
            return 4;
        case ValueKind::Long:
        case ValueKind::Double:
        case ValueKind::DateTime:
            return 8;
    }
    return 0;
}

bool ByteReader::load(ByteView data) {
    data_ = data;
    position_ = 0;
    mark_ = 0;
    return !data_.empty();
}

int64_t ByteReader::mark() {
    mark_ = position_;
    return mark_;
}

namespace {

uint64_t littleEndian(const uint8_t* p, int size) {
    uint64_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | p[i];
    return value;
}

}  // namespace

int64_t ByteReader::readInteger(ValueKind kind) {
    const int size = valueSize(kind);
    if (size == 0 || size > remaining())
        return 0;
    const uint64_t raw = littleEndian(data_.data() + position_, size);
    position_ += size;
    switch (kind) {
        case ValueKind::Byte:
            return static_cast<uint8_t>(raw);
        case ValueKind::Short:
            return static_cast<int16_t>(raw);
        case ValueKind::Int:
            return static_cast<int32_t>(raw);
        case ValueKind::Bool:
            return raw != 0 ? 1 : 0;
        case ValueKind::RoutinePointer:
            return static_cast<uint32_t>(raw);
        case ValueKind::Long:
            return static_cast<int64_t>(raw);
        case ValueKind::Float:
            return static_cast<int64_t>(std::bit_cast<float>(static_cast<uint32_t>(raw)));
        case ValueKind::Double:
        case ValueKind::DateTime:
            return static_cast<int64_t>(std::bit_cast<double>(raw));
    }
    return 0;
}

double ByteReader::readFloating(ValueKind kind) {
    const int size = valueSize(kind);
    if (size == 0 || size > remaining())
        return 0;
    const uint64_t raw = littleEndian(data_.data() + position_, size);
    position_ += size;
    switch (kind) {
        case ValueKind::Float:
            return std::bit_cast<float>(static_cast<uint32_t>(raw));
        case ValueKind::Double:
            return std::bit_cast<double>(raw);
        case ValueKind::DateTime:
            return std::clamp(std::bit_cast<double>(raw), -657434.0, 2958465.0);
        case ValueKind::Byte:
            return static_cast<uint8_t>(raw);
        case ValueKind::Short:
            return static_cast<int16_t>(raw);
        case ValueKind::Int:
            return static_cast<int32_t>(raw);
        case ValueKind::Long:
            return static_cast<double>(static_cast<int64_t>(raw));
        case ValueKind::Bool:
            return raw != 0 ? 1 : 0;
        case ValueKind::RoutinePointer:
            return static_cast<uint32_t>(raw);
    }
    return 0;
}

Text ByteReader::readText() {
    const uint8_t* begin = data_.data() + position_;
    const uint8_t* end = data_.data() + data_.size();
    const uint8_t* zero = std::find(begin, end, uint8_t{0});
    Text text(begin, zero);
    position_ = (zero == end) ? length() : (zero - data_.data()) + 1;
    return text;
}

ByteView ByteReader::viewBytes(int64_t n) {
    if (n <= 0)
        return {};
    n = std::min(n, remaining());
    ByteView view = data_.subspan(static_cast<size_t>(position_), static_cast<size_t>(n));
    position_ += n;
    return view;
}

Bytes ByteReader::readBytes(int64_t n) {
    ByteView view = viewBytes(n);
    return Bytes(view.begin(), view.end());
}

void ByteReader::skip(int64_t n) {
    viewBytes(n);
}

}  // namespace ramulet
