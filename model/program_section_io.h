// The steps of reading and writing the program section, one per part of its payload.
//
// Every reader step is given the one cursor the whole payload is read with and leaves it after
// the part it read. Counts that size a list of records are untrusted: a negative one counts as
// 0, and none creates more records than the bytes left could describe. Every writer step appends
// to one writer and computes lengths, counts and offsets afresh from what it writes.
#pragma once

#include <span>
#include <vector>

#include "container/byte_reader.h"
#include "container/byte_writer.h"
#include "model/program_section.h"

namespace ramulet {

LibraryBlock readLibraryBlock(ByteReader& reader);
ProgramSettings readProgramSettings(ByteReader& reader);
// The block that opens an item table (and the resource section's window list): int32 byte
// length, 8 per entry, then all ids, then all second values. One entry per record that follows.
std::vector<IdEntry> readIdTable(ByteReader& reader);
std::vector<AssemblyRecord> readAssemblies(ByteReader& reader);
std::vector<SubRecord> readSubs(ByteReader& reader);
VariableList readVariableList(ByteReader& reader);
std::vector<DataTypeRecord> readDataTypes(ByteReader& reader);
std::vector<DllCommandRecord> readDllCommands(ByteReader& reader);

// The five pieces of a library text: split at 0D, at most five pieces, each ending at its first
// zero byte; what follows a fifth 0D is dropped.
void splitLibraryText(ByteView text, LibraryRef& library);

void writeLibraryBlock(ByteWriter& out, const LibraryBlock& block);
void writeProgramSettings(ByteWriter& out, const ProgramSettings& settings);
void writeIdTable(ByteWriter& out, std::span<const IdEntry> keys);
void writeAssemblies(ByteWriter& out, std::span<const AssemblyRecord> assemblies);
void writeSubs(ByteWriter& out, std::span<const SubRecord> subs);
void writeVariableList(ByteWriter& out, std::span<const VariableRecord> variables);
void writeDataTypes(ByteWriter& out, std::span<const DataTypeRecord> dataTypes);
void writeDllCommands(ByteWriter& out, std::span<const DllCommandRecord> dllCommands);

// The keys of a table's records, in list order, for writeIdTable.
template <class Record>
std::vector<IdEntry> keysOf(std::span<const Record> records) {
    std::vector<IdEntry> keys;
    keys.reserve(records.size());
    for (const Record& record : records)
        keys.push_back(record.key);
    return keys;
}

}  // namespace ramulet
