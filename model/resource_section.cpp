#include "model/resource_section.h"

#include <algorithm>

#include "container/byte_reader.h"

// Payload of the resource section:
//
//   window table    int32 headLength (8 per window), all ids, all second values, then per window
//                   int32 word1, int32 word2, LenText name, LenText note, int32 word3,
//                   LenBytes contentBytes
//   constant table  int32 count m, int32 (dropped), m ids, m second values, then per entry
//                   int32 (dropped), int16 flags, ZText name, ZText note, and for a constant
//                   (class 1) a type byte and its value bytes, for any other class LenBytes data
//   trailing        everything after the last entry
//
// The counts come from the file. A negative count reads as no records, and a count is cut to
// the number of records the bytes left could hold at their smallest, so that a damaged count
// cannot make the reader allocate without bound. A count that the data can hold reads exactly
// as stored.

namespace ramulet {

namespace {

// The fewest bytes a window takes: its id-table entry (8) and the six fixed fields of its body.
constexpr int64_t kMinWindowBytes = 8 + 6 * 4;
// The fewest bytes a constant-table entry takes: its id and second value (8), the dropped int,
// the flags, two empty ZTexts and a type byte without value.
constexpr int64_t kMinConstantBytes = 8 + 4 + 2 + 1 + 1 + 1;

// Value types of class-1 entries and the sizes of their fixed values.
constexpr uint8_t kTypeLongValue = 23;
constexpr uint8_t kTypeShortValue = 24;
constexpr uint8_t kTypeDoubleValue = 25;
constexpr uint8_t kTypeBytesValue = 26;

// The id table that opens the window list: a byte length of 8 per entry, then all ids, then all
// second values.
std::vector<IdEntry> readWindowKeys(ByteReader& r) {
    const int32_t headLength = r.readInt();
    const int64_t n = countThatFits(headLength / 8, r.remaining(), kMinWindowBytes);
    std::vector<IdEntry> keys(static_cast<size_t>(n));
    for (IdEntry& key : keys)
        key.id = static_cast<ObjectId>(r.readInt());
    for (IdEntry& key : keys)
        key.value = r.readInt();
    return keys;
}

WindowRecord readWindow(ByteReader& r, const IdEntry& key) {
    WindowRecord w;
    w.key = key;
    w.word1 = r.readInt();
    w.word2 = r.readInt();
    w.name = r.readLenText();
    w.note = r.readLenText();
    w.word3 = r.readInt();
    w.contentBytes = r.readLenBytes();
    return w;
}

Bytes readConstantValue(ByteReader& r, uint8_t valueType) {
    switch (valueType) {
        case kTypeLongValue:
        case kTypeDoubleValue:
            return r.readBytes(8);
        case kTypeShortValue:
            return r.readBytes(2);
        case kTypeBytesValue:
            return r.readLenBytes();
        default:
            return {};
    }
}

ConstantRecord readConstant(ByteReader& r, const IdEntry& key) {
    ConstantRecord c;
    c.key = key;
    r.readInt();  // the entry's byte length; the layout below is read field by field instead
    c.flags = r.readShort();
    c.name = r.readText();
    c.note = r.readText();
    if (resourceClassOf(key.id) == static_cast<uint32_t>(ResourceClass::Constant)) {
        c.valueType = r.readByte();
        c.data = readConstantValue(r, c.valueType);
    } else {
        c.data = r.readLenBytes();
    }
    return c;
}

}  // namespace

ResourceSection blankResourceSection() {
    ResourceSection section;
    section.windows.resize(1);
    section.constants.resize(1);
    return section;
}

ResourceSection readResourceSection(ByteView payload) {
    ByteReader r;
    if (!r.load(payload))
        return blankResourceSection();

    ResourceSection section;
    const std::vector<IdEntry> windowKeys = readWindowKeys(r);
    section.windows.reserve(windowKeys.size());
    for (const IdEntry& key : windowKeys)
        section.windows.push_back(readWindow(r, key));

    const int32_t m = r.readInt();
    r.readInt();  // the table's byte length, not needed to read it
    std::vector<IdEntry> constantKeys(
        static_cast<size_t>(countThatFits(m, r.remaining(), kMinConstantBytes)));
    for (IdEntry& key : constantKeys)
        key.id = static_cast<ObjectId>(r.readInt());
    for (IdEntry& key : constantKeys)
        key.value = r.readInt();
    section.constants.reserve(constantKeys.size());
    for (const IdEntry& key : constantKeys)
        section.constants.push_back(readConstant(r, key));

    section.trailing = r.readBytes(r.remaining());
    return section;
}

ResourceSection setApartFlaggedConstants(const ResourceSection& working,
                                         ResourceSection& setApart) {
    ResourceSection result = working;
    setApart.windows.clear();
    setApart.constants.clear();
    std::vector<ConstantRecord> kept;
    for (ConstantRecord& c : result.constants) {
        const bool flagged = (c.flags & kSetApartFlag) == kSetApartFlag;
        (flagged ? setApart.constants : kept).push_back(std::move(c));
    }
    result.constants = std::move(kept);
    return result;
}

}  // namespace ramulet
