// The program section (key 19 73 00 03): the project's code model.
//
// Payload, first byte to last: library block, settings record, assembly table, sub table,
// global variables, data type table, DLL command table, trailing bytes. Each item table but the
// globals opens with an id table: int32 byte length (8 per entry), all ids, all second values,
// then one record per entry. Texts are stored as LenText (int32 length + bytes, the text ending
// at its first zero byte), raw runs as LenBytes (int32 length + bytes), and names inside
// variable records as ZText (bytes + one zero byte).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "container/bytes.h"

namespace ramulet {

// Identifies an item of a source file; its top byte is the item's kind.
using ObjectId = uint32_t;

// One entry of an id table, kept in the record it describes.
struct IdEntry {
    ObjectId id = 0;
    int32_t value = 0;  // the second value; for variable lists, the record's stored offset

    bool operator==(const IdEntry&) const = default;
};

struct LibraryRef {
    int32_t value1 = 0;
    int16_t value3 = 0;
    int16_t value2 = 0;
    // A library text is five pieces joined by single 0D bytes.
    Text text1;
    Text text2;
    std::array<Text, 2> texts34;
    Text text5;

    bool operator==(const LibraryRef&) const = default;
};

struct LibraryBlock {
    Bytes head;  // 8 bytes, kept raw
    std::vector<LibraryRef> libraries;

    bool operator==(const LibraryBlock&) const = default;
};

struct ProgramSettings {
    int32_t flags = 0;  // bit 0: block16 is present
    int32_t word2 = 0;
    Bytes block16;
    Bytes blob;
    Text text;

    bool operator==(const ProgramSettings&) const = default;
};

// One record of a variable list (globals, assembly variables, sub locals and parameters, data
// type members, DLL command parameters all share this layout).
struct VariableRecord {
    IdEntry key;
    int32_t typeWord = 0;
    int16_t flags = 0;  // 0x0200 sets a global variable apart
    std::vector<int32_t> valueList;
    Text name;
    Text note;
    Bytes tail;  // the rest of the record after the known fields
    // Some files store a record length that disagrees with the span the list's offsets give
    // the record (it counts its own four bytes). Such a length is kept here and written back as
    // stored, so that the file comes back unchanged; otherwise the writer computes it.
    std::optional<int32_t> storedRecordLength;

    bool operator==(const VariableRecord&) const = default;
};

using VariableList = std::vector<VariableRecord>;

// Assemblies, window assemblies and classes: the top-level program items.
struct AssemblyRecord {
    IdEntry key;
    int32_t word1 = 0;
    int32_t word2 = 0;  // zero or not chooses the node image
    Text name;
    Text note;
    std::vector<int32_t> idList;
    VariableList variables;

    bool operator==(const AssemblyRecord&) const = default;
};

// Subs and methods; tied to their assembly only through ownerId.
struct SubRecord {
    IdEntry key;
    ObjectId ownerId = 0;
    int32_t word2 = 0;
    int32_t word3 = 0;
    Text name;
    Text note;
    VariableList variablesA;
    VariableList variablesB;
    std::vector<Bytes> blocks;  // six raw runs in records read from a file

    bool operator==(const SubRecord&) const = default;
};

struct DataTypeRecord {
    IdEntry key;
    int32_t flags = 0;  // 0x0002 sets the data type apart
    Text name;
    Text note;
    VariableList members;

    bool operator==(const DataTypeRecord&) const = default;
};

struct DllCommandRecord {
    IdEntry key;
    int32_t flags = 0;  // 0x0004 sets the DLL command apart
    int32_t word2 = 0;
    Text name;
    Text note;
    Text text3;
    Text text4;
    VariableList parameters;

    bool operator==(const DllCommandRecord&) const = default;
};

struct ProgramSection {
    LibraryBlock library;
    ProgramSettings settings;
    std::vector<AssemblyRecord> assemblies;
    std::vector<SubRecord> subs;
    VariableList globals;
    std::vector<DataTypeRecord> dataTypes;
    std::vector<DllCommandRecord> dllCommands;
    Bytes trailing;

    bool operator==(const ProgramSection&) const = default;
};

// The shape an empty payload reads as: one blank record in every table, every nested list
// holding one blank record, every id and value list holding the single value 0.
ProgramSection blankProgramSection();

// Empties the five item tables, keeping library block, settings and trailing bytes.
void clearItemTables(ProgramSection& section);

ProgramSection readProgramSection(ByteView payload);

// Serialises the working section with the set-apart items after the working ones in each
// table; library block, settings and trailing bytes come from the working section.
Bytes writeProgramSection(const ProgramSection& working, const ProgramSection& setApart);

}  // namespace ramulet
