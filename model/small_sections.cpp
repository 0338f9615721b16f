// Readers of three small sections: the item marks (0b), the module references (0c) and the
// external file records (10).
//
// A negative count from the file reads as no records, and every count is cut to the number of
// records the bytes left could hold at their smallest, so that a damaged count cannot make a
// reader allocate without bound. A count that the data can hold reads exactly as stored.

#include <algorithm>

#include "container/byte_reader.h"
#include "model/sections.h"

namespace ramulet {

namespace {

// A module body holds at least five int32 fields, two text lengths and two column lengths.
constexpr int64_t kMinModuleBytes = 9 * 4;
// A column value, and the smallest external file record (an empty LenText).
constexpr int64_t kInt32Bytes = 4;

// Column length L in bytes; the column holds L / 4 values.
size_t readColumnSize(ByteReader& r) {
    const int32_t length = r.readInt();
    return static_cast<size_t>(countThatFits(length / 4, r.remaining(), kInt32Bytes));
}

ModuleReference readModule(ByteReader& r) {
    ModuleReference m;
    m.word1 = r.readInt();
    m.word2 = r.readInt();
    m.word3 = r.readInt();
    m.word4 = r.readInt();
    m.truthValue = r.readBool();
    m.name = r.readLenText();
    m.path = r.readLenText();
    // Two columns of int32 values make the pairs: the first column gives each pair's first
    // value, the second its second value. The second column's length decides how many pairs
    // there are; missing first values are 0, surplus ones are dropped.
    m.numberPairs.resize(readColumnSize(r));
    for (NumberPair& pair : m.numberPairs)
        pair.first = r.readInt();
    m.numberPairs.resize(readColumnSize(r));
    for (NumberPair& pair : m.numberPairs)
        pair.second = r.readInt();
    return m;
}

}  // namespace

// The payload is nothing but (id, mark) pairs; up to seven bytes left over are ignored.
ItemMarkTable readItemMarkTable(ByteView payload) {
    ByteReader r;
    if (!r.load(payload))
        return {ItemMark{}};
    ItemMarkTable table(static_cast<size_t>(r.remaining() / 8));
    for (ItemMark& entry : table) {
        entry.id = static_cast<ObjectId>(r.readInt());
        entry.mark = r.readInt();
    }
    return table;
}

// int32 count, then per module: four int32 words, a bool, LenText name, LenText path, and two
// columns each given as an int32 byte length followed by its int32 values.
ModuleReferenceTable readModuleReferenceTable(ByteView payload) {
    ByteReader r;
    if (!r.load(payload)) {
        ModuleReference blank;
        blank.numberPairs.resize(1);
        return {blank};
    }
    const int32_t count = r.readInt();
    const int64_t n = countThatFits(count, r.remaining(), kMinModuleBytes);
    ModuleReferenceTable table;
    table.reserve(static_cast<size_t>(n));
    for (int64_t i = 0; i < n; ++i)
        table.push_back(readModule(r));
    return table;
}

// int16 count, that many LenTexts, 4 bytes kept raw and one closing LenText.
ExternalFileRecords readExternalFileRecords(ByteView payload) {
    ExternalFileRecords records;
    ByteReader r;
    if (!r.load(payload)) {
        records.entries.resize(1);
        return records;
    }
    const int16_t count = r.readShort();
    const int64_t n = countThatFits(count, r.remaining(), kInt32Bytes);
    records.entries.reserve(static_cast<size_t>(n));
    for (int64_t i = 0; i < n; ++i)
        records.entries.push_back(r.readLenText());
    records.middleBytes = r.readBytes(4);
    records.closingText = r.readLenText();
    return records;
}

}  // namespace ramulet
