// The one forgiving cursor over a byte string that every reader of a source file uses.
//
// Reads never fail: a value that would run past the end reads as 0 and does not move the
// cursor, a text or byte run is cut at the end. Section parsers rely on this to keep going over
// damaged data, so no caller checks a length against what is left before reading it.
#pragma once

#include <algorithm>
#include <cstdint>

#include "container/bytes.h"

namespace ramulet {

// The kinds of fixed-size value that readValue understands, with the codes of the file format.
enum class ValueKind : int {
    Byte = 1,            // unsigned 8-bit
    Short = 2,           // signed 16-bit
    Int = 3,             // signed 32-bit
    Long = 4,            // signed 64-bit
    Float = 5,           // 32-bit IEEE
    Double = 6,          // 64-bit IEEE
    Bool = 7,            // 32-bit, true when not 0
    DateTime = 8,        // 64-bit float date, clamped to -657434 .. 2958465
    RoutinePointer = 9,  // 32-bit value
};

// Size in bytes of one value of the kind.
int valueSize(ValueKind kind);

// The reader does not copy the bytes: the caller keeps them alive for as long as it reads.
// Positions and lengths are 64-bit so that no bounds test can overflow.
class ByteReader {
  public:
    ByteReader() = default;
    explicit ByteReader(ByteView data) { load(data); }

    // Starts over on new data; true when there is at least one byte.
    bool load(ByteView data);

    // Remembers the position and returns it. A mark at 0 counts as no mark.
    int64_t mark();

    // Reads one value; past the end, yields 0 and leaves the position unchanged. The result is
    // widened to double for the floating kinds and to int64 for the others.
    int64_t readInteger(ValueKind kind);
    double readFloating(ValueKind kind);

    uint8_t readByte() { return static_cast<uint8_t>(readInteger(ValueKind::Byte)); }
    int16_t readShort() { return static_cast<int16_t>(readInteger(ValueKind::Short)); }
    int32_t readInt() { return static_cast<int32_t>(readInteger(ValueKind::Int)); }
    int64_t readLong() { return readInteger(ValueKind::Long); }
    bool readBool() { return readInteger(ValueKind::Bool) != 0; }

    // Bytes up to the next zero byte, moving past it; all the rest when there is no zero.
    Text readText();

    // The next n bytes, or fewer at the end; nothing for n <= 0.
    Bytes readBytes(int64_t n);
    // An int32 length, then that many bytes.
    Bytes readLenBytes() { return readBytes(readInt()); }
    // The same, as a text: the bytes before the first zero byte.
    Text readLenText() {
        const int32_t n = readInt();
        return textUpToZero(viewBytes(n));
    }
    // Like readBytes, but only a view into the reader's data.
    ByteView viewBytes(int64_t n);
    // Moves on by n bytes (cut at the end); nothing for n <= 0.
    void skip(int64_t n);

    int64_t position() const { return position_; }
    int64_t length() const { return static_cast<int64_t>(data_.size()); }
    int64_t remaining() const { return length() - position_; }
    int64_t sinceMark() const { return mark_ != 0 ? position_ - mark_ : 0; }

  private:
    ByteView data_;
    int64_t position_ = 0;
    int64_t mark_ = 0;
};

// A record count read from a file, made safe to allocate: a negative count is no records, and
// no count exceeds what the bytes left could hold with each record at its smallest. A count the
// data can hold stays as stored.
inline int64_t countThatFits(int64_t count, int64_t remaining, int64_t minRecordBytes) {
    if (count <= 0)
        return 0;
    return std::min(count, remaining / minRecordBytes);
}

}  // namespace ramulet
