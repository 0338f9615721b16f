// Reads the program section payload field by field. Nothing is interpreted or checked: every
// part the program does not use is kept raw so that the writer can emit it again.
#include <algorithm>
#include <cstdint>

#include "model/program_section.h"
#include "model/program_section_io.h"

namespace ramulet {

namespace {

// How many records a stored count may create. A negative count means no records, and a count
// never creates more records than the bytes left could describe at `minBytes` each; past the end
// of the data the literal count would only add records read as zeros.
int64_t recordCount(int64_t count, const ByteReader& reader, int64_t minBytes) {
    return countThatFits(count, reader.remaining(), minBytes);
}

// int32 byte length L, then L / 4 int32 values.
std::vector<int32_t> readIdList(ByteReader& reader) {
    const int64_t count = recordCount(reader.readInt() / 4, reader, 4);
    std::vector<int32_t> values(static_cast<size_t>(count));
    for (int32_t& value : values)
        value = reader.readInt();
    return values;
}

// The fields of one variable record after its recordLength; the tail is left to the caller.
void readVariableFields(ByteReader& reader, VariableRecord& record) {
    record.typeWord = reader.readInt();
    record.flags = reader.readShort();
    const uint8_t valueCount = reader.readByte();
    record.valueList.resize(valueCount);
    for (int32_t& value : record.valueList)
        value = reader.readInt();
    record.name = reader.readText();
    record.note = reader.readText();
}

// A record as its own recordLength describes it: the known fields, then whatever of the
// recordLength is left over as tail (nothing when the fields already fill or overrun it).
void readVariableRecordByLength(ByteReader& reader, VariableRecord& record) {
    const int32_t recordLength = reader.readInt();
    const int64_t start = reader.position();
    readVariableFields(reader, record);
    record.tail = reader.readBytes(int64_t{recordLength} - (reader.position() - start));
}

// A record confined to the span the list's offsets give it: the known fields, then the rest of
// the span as tail. A recordLength that disagrees with the span is kept, so that writing the
// record gives back the stored bytes.
void readVariableRecordInSpan(ByteView span, VariableRecord& record) {
    ByteReader reader(span);
    const int32_t recordLength = reader.readInt();
    readVariableFields(reader, record);
    record.tail = reader.readBytes(reader.remaining());
    if (int64_t{recordLength} != static_cast<int64_t>(span.size()) - 4)
        record.storedRecordLength = recordLength;
}

// The byte length of the records of a variable list, when the list's offsets and bodyLength
// describe a sound layout of them: record 1 at offset 0, offsets never decreasing with room for
// each record's length field, and all records inside the bytes left. 0 when they do not.
int64_t delimitedRecordsLength(const VariableList& records, int64_t bodyLength, int64_t bytesLeft) {
    if (records.empty() || records.front().key.value != 0)
        return 0;
    for (size_t i = 1; i < records.size(); ++i) {
        if (int64_t{records[i].key.value} - records[i - 1].key.value < 4)
            return 0;
    }
    const int64_t recordsLength = bodyLength - 8 * static_cast<int64_t>(records.size());
    if (recordsLength < int64_t{records.back().key.value} + 4 || recordsLength > bytesLeft)
        return 0;
    return recordsLength;
}

}  // namespace

void splitLibraryText(ByteView text, LibraryRef& library) {
    Text* const pieces[] = {&library.text1, &library.text2, &library.texts34[0],
                            &library.texts34[1], &library.text5};
    size_t begin = 0;
    for (Text* piece : pieces) {
        if (begin >= text.size())
            break;
        size_t end = begin;
        while (end < text.size() && text[end] != 0x0D)
            ++end;
        *piece = textUpToZero(text.subspan(begin, end - begin));
        begin = end + 1;
    }
}

LibraryBlock readLibraryBlock(ByteReader& reader) {
    LibraryBlock block;
    block.head = reader.readBytes(8);
    const int64_t count = recordCount(reader.readInt() / 4, reader, 4);
    block.libraries.resize(static_cast<size_t>(count));
    for (LibraryRef& library : block.libraries)
        library.value1 = reader.readInt();

    // The second and third arrays and the texts fill the libraries of the first array. Values
    // beyond them have no library to go to; they are read over and dropped.
    const auto readShorts = [&](int16_t LibraryRef::*field) {
        const int64_t stored = std::max<int64_t>(reader.readInt() / 2, 0);
        const int64_t kept = std::min(stored, count);
        for (int64_t i = 0; i < kept; ++i)
            block.libraries[static_cast<size_t>(i)].*field = reader.readShort();
        reader.skip(2 * std::min(stored - kept, reader.remaining() / 2));
    };
    readShorts(&LibraryRef::value2);
    readShorts(&LibraryRef::value3);

    const int16_t textCount = reader.readShort();
    for (int64_t i = 0; i < textCount; ++i) {
        const ByteView text = reader.viewBytes(reader.readInt());
        if (i < count)
            splitLibraryText(text, block.libraries[static_cast<size_t>(i)]);
    }
    return block;
}

ProgramSettings readProgramSettings(ByteReader& reader) {
    ProgramSettings settings;
    settings.flags = reader.readInt();
    settings.word2 = reader.readInt();
    if ((settings.flags & 1) != 0)
        settings.block16 = reader.readBytes(16);
    settings.blob = reader.readLenBytes();
    settings.text = reader.readLenText();
    return settings;
}

std::vector<IdEntry> readIdTable(ByteReader& reader) {
    const int64_t count = recordCount(reader.readInt() / 8, reader, 8);
    std::vector<IdEntry> entries(static_cast<size_t>(count));
    for (IdEntry& entry : entries)
        entry.id = static_cast<ObjectId>(reader.readInt());
    for (IdEntry& entry : entries)
        entry.value = reader.readInt();
    return entries;
}

VariableList readVariableList(ByteReader& reader) {
    const int32_t storedCount = reader.readInt();
    const int32_t bodyLength = reader.readInt();
    VariableList records(static_cast<size_t>(recordCount(storedCount, reader, 8)));
    for (VariableRecord& record : records)
        record.key.id = static_cast<ObjectId>(reader.readInt());
    for (VariableRecord& record : records)
        record.key.value = reader.readInt();

    // Some files store record lengths that count their own four bytes, while the offsets and
    // bodyLength of the list are right. Following the record lengths would then read each
    // record four bytes too far and lose step with the data, so wherever the offsets describe
    // the records soundly, they delimit them.
    const int64_t recordsLength = delimitedRecordsLength(records, bodyLength, reader.remaining());
    if (recordsLength > 0) {
        const ByteView all = reader.viewBytes(recordsLength);
        for (size_t i = 0; i < records.size(); ++i) {
            const auto begin = static_cast<size_t>(records[i].key.value);
            const auto end =
                i + 1 < records.size() ? static_cast<size_t>(records[i + 1].key.value) : all.size();
            readVariableRecordInSpan(all.subspan(begin, end - begin), records[i]);
        }
        return records;
    }
    for (VariableRecord& record : records)
        readVariableRecordByLength(reader, record);
    return records;
}

std::vector<AssemblyRecord> readAssemblies(ByteReader& reader) {
    const std::vector<IdEntry> entries = readIdTable(reader);
    std::vector<AssemblyRecord> records(entries.size());
    for (size_t i = 0; i < records.size(); ++i) {
        AssemblyRecord& record = records[i];
        record.key = entries[i];
        record.word1 = reader.readInt();
        record.word2 = reader.readInt();
        record.name = reader.readLenText();
        record.note = reader.readLenText();
        record.idList = readIdList(reader);
        record.variables = readVariableList(reader);
    }
    return records;
}

std::vector<SubRecord> readSubs(ByteReader& reader) {
    const std::vector<IdEntry> entries = readIdTable(reader);
    std::vector<SubRecord> records(entries.size());
    for (size_t i = 0; i < records.size(); ++i) {
        SubRecord& record = records[i];
        record.key = entries[i];
        record.ownerId = static_cast<ObjectId>(reader.readInt());
        record.word2 = reader.readInt();
        record.word3 = reader.readInt();
        record.name = reader.readLenText();
        record.note = reader.readLenText();
        record.variablesA = readVariableList(reader);
        record.variablesB = readVariableList(reader);
        record.blocks.resize(6);
        for (Bytes& block : record.blocks)
            block = reader.readLenBytes();
    }
    return records;
}

std::vector<DataTypeRecord> readDataTypes(ByteReader& reader) {
    const std::vector<IdEntry> entries = readIdTable(reader);
    std::vector<DataTypeRecord> records(entries.size());
    for (size_t i = 0; i < records.size(); ++i) {
        DataTypeRecord& record = records[i];
        record.key = entries[i];
        record.flags = reader.readInt();
        record.name = reader.readLenText();
        record.note = reader.readLenText();
        record.members = readVariableList(reader);
    }
    return records;
}

std::vector<DllCommandRecord> readDllCommands(ByteReader& reader) {
    const std::vector<IdEntry> entries = readIdTable(reader);
    std::vector<DllCommandRecord> records(entries.size());
    for (size_t i = 0; i < records.size(); ++i) {
        DllCommandRecord& record = records[i];
        record.key = entries[i];
        record.flags = reader.readInt();
        record.word2 = reader.readInt();
        record.name = reader.readLenText();
        record.note = reader.readLenText();
        record.text3 = reader.readLenText();
        record.text4 = reader.readLenText();
        record.parameters = readVariableList(reader);
    }
    return records;
}

namespace {

VariableRecord blankVariableRecord() {
    VariableRecord record;
    record.valueList = {0};
    return record;
}

}  // namespace

ProgramSection blankProgramSection() {
    ProgramSection section;
    section.library.libraries.resize(1);

    AssemblyRecord assembly;
    assembly.idList = {0};
    assembly.variables = {blankVariableRecord()};
    section.assemblies = {assembly};

    SubRecord sub;
    sub.variablesA = {blankVariableRecord()};
    sub.variablesB = {blankVariableRecord()};
    sub.blocks.resize(6);
    section.subs = {sub};

    section.globals = {blankVariableRecord()};

    DataTypeRecord dataType;
    dataType.members = {blankVariableRecord()};
    section.dataTypes = {dataType};

    DllCommandRecord dllCommand;
    dllCommand.parameters = {blankVariableRecord()};
    section.dllCommands = {dllCommand};
    return section;
}

void clearItemTables(ProgramSection& section) {
    section.assemblies.clear();
    section.subs.clear();
    section.globals.clear();
    section.dataTypes.clear();
    section.dllCommands.clear();
}

ProgramSection readProgramSection(ByteView payload) {
    ByteReader reader;
    if (!reader.load(payload))
        return blankProgramSection();
    ProgramSection section;
    section.library = readLibraryBlock(reader);
    section.settings = readProgramSettings(reader);
    section.assemblies = readAssemblies(reader);
    section.subs = readSubs(reader);
    section.globals = readVariableList(reader);
    section.dataTypes = readDataTypes(reader);
    section.dllCommands = readDllCommands(reader);
    section.trailing = reader.readBytes(reader.remaining());
    return section;
}

}  // namespace ramulet
