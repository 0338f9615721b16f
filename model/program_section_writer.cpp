// Serialises the program section. Every length, count and offset is computed from the bytes
// written; everything else is written as the model holds it.
#include <algorithm>
#include <cstdint>

#include "model/program_section.h"
#include "model/program_section_io.h"

namespace ramulet {

namespace {

int32_t byteCount(size_t n) {
    return static_cast<int32_t>(n);
}

// A text as written: the bytes before its terminating zero.
Text beforeZero(const Text& text) {
    return text.substr(0, text.find('\0'));
}

// The working records of a table, then the set-apart ones.
template <class Record>
std::vector<Record> joined(const std::vector<Record>& working,
                           const std::vector<Record>& setApart) {
    std::vector<Record> all;
    all.reserve(working.size() + setApart.size());
    all.insert(all.end(), working.begin(), working.end());
    all.insert(all.end(), setApart.begin(), setApart.end());
    return all;
}

// One variable record: int32 recordLength, then its body.
void writeVariableRecord(ByteWriter& out, const VariableRecord& record) {
    // The value count is one byte; the reader never gives a record more values than that.
    const size_t valueCount = std::min<size_t>(record.valueList.size(), 255);
    ByteWriter body;
    body.i32(record.typeWord);
    body.i16(record.flags);
    body.u8(static_cast<uint8_t>(valueCount));
    for (size_t i = 0; i < valueCount; ++i)
        body.i32(record.valueList[i]);
    body.zeroText(record.name);
    body.zeroText(record.note);
    body.bytes(record.tail);
    out.i32(record.storedRecordLength.value_or(byteCount(body.size())));
    out.bytes(body.data());
}

}  // namespace

void writeLibraryBlock(ByteWriter& out, const LibraryBlock& block) {
    const size_t n = block.libraries.size();
    out.bytes(block.head);
    out.i32(byteCount(4 * n));
    for (const LibraryRef& library : block.libraries)
        out.i32(library.value1);
    out.i32(byteCount(2 * n));
    for (const LibraryRef& library : block.libraries)
        out.i16(library.value2);
    out.i32(byteCount(2 * n));
    for (const LibraryRef& library : block.libraries)
        out.i16(library.value3);
    out.i16(static_cast<int16_t>(n));
    for (const LibraryRef& library : block.libraries) {
        Text text = beforeZero(library.text1);
        for (const Text* piece :
             {&library.text2, &library.texts34[0], &library.texts34[1], &library.text5}) {
            text += '\x0D';
            text += beforeZero(*piece);
        }
        out.lenBytes(asBytes(text));
    }
}

void writeProgramSettings(ByteWriter& out, const ProgramSettings& settings) {
    out.i32(settings.flags);
    out.i32(settings.word2);
    if ((settings.flags & 1) != 0)
        out.bytes(settings.block16);
    out.lenBytes(settings.blob);
    out.lenText(settings.text);
}

void writeIdTable(ByteWriter& out, std::span<const IdEntry> keys) {
    out.i32(byteCount(8 * keys.size()));
    for (const IdEntry& key : keys)
        out.u32(key.id);
    for (const IdEntry& key : keys)
        out.i32(key.value);
}

void writeVariableList(ByteWriter& out, std::span<const VariableRecord> variables) {
    ByteWriter records;
    std::vector<int32_t> offsets;
    offsets.reserve(variables.size());
    for (const VariableRecord& record : variables) {
        offsets.push_back(byteCount(records.size()));
        writeVariableRecord(records, record);
    }
    out.i32(byteCount(variables.size()));
    out.i32(byteCount(8 * variables.size() + records.size()));
    for (const VariableRecord& record : variables)
        out.u32(record.key.id);
    for (int32_t offset : offsets)
        out.i32(offset);
    out.bytes(records.data());
}

void writeAssemblies(ByteWriter& out, std::span<const AssemblyRecord> assemblies) {
    writeIdTable(out, keysOf(assemblies));
    for (const AssemblyRecord& record : assemblies) {
        out.i32(record.word1);
        out.i32(record.word2);
        out.lenText(record.name);
        out.lenText(record.note);
        out.i32(byteCount(4 * record.idList.size()));
        for (int32_t value : record.idList)
            out.i32(value);
        writeVariableList(out, record.variables);
    }
}

void writeSubs(ByteWriter& out, std::span<const SubRecord> subs) {
    writeIdTable(out, keysOf(subs));
    for (const SubRecord& record : subs) {
        out.u32(record.ownerId);
        out.i32(record.word2);
        out.i32(record.word3);
        out.lenText(record.name);
        out.lenText(record.note);
        writeVariableList(out, record.variablesA);
        writeVariableList(out, record.variablesB);
        for (const Bytes& block : record.blocks)
            out.lenBytes(block);
    }
}

void writeDataTypes(ByteWriter& out, std::span<const DataTypeRecord> dataTypes) {
    writeIdTable(out, keysOf(dataTypes));
    for (const DataTypeRecord& record : dataTypes) {
        out.i32(record.flags);
        out.lenText(record.name);
        out.lenText(record.note);
        writeVariableList(out, record.members);
    }
}

void writeDllCommands(ByteWriter& out, std::span<const DllCommandRecord> dllCommands) {
    writeIdTable(out, keysOf(dllCommands));
    for (const DllCommandRecord& record : dllCommands) {
        out.i32(record.flags);
        out.i32(record.word2);
        out.lenText(record.name);
        out.lenText(record.note);
        out.lenText(record.text3);
        out.lenText(record.text4);
        writeVariableList(out, record.parameters);
    }
}

Bytes writeProgramSection(const ProgramSection& working, const ProgramSection& setApart) {
    ByteWriter out;
    writeLibraryBlock(out, working.library);
    writeProgramSettings(out, working.settings);
    writeAssemblies(out, joined(working.assemblies, setApart.assemblies));
    writeSubs(out, joined(working.subs, setApart.subs));
    writeVariableList(out, joined(working.globals, setApart.globals));
    writeDataTypes(out, joined(working.dataTypes, setApart.dataTypes));
    writeDllCommands(out, joined(working.dllCommands, setApart.dllCommands));
    out.bytes(working.trailing);
    return out.take();
}

}  // namespace ramulet
