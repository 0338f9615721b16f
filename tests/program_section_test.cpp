#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <string>

#include "container/byte_writer.h"
#include "container/container.h"
#include "model/program_section.h"
#include "model/program_section_io.h"

namespace ramulet {
namespace {

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

Bytes le32(int32_t v) {
    ByteWriter w;
    w.i32(v);
    return w.take();
}

Bytes textBytes(std::string_view t) {
    return Bytes(t.begin(), t.end());
}

VariableRecord variable(ObjectId id, Text name, Bytes tail = {}) {
    VariableRecord v;
    v.key.id = id;
    v.typeWord = 1;
    v.name = std::move(name);
    v.tail = std::move(tail);
    return v;
}

Bytes writtenList(const VariableList& list) {
    ByteWriter w;
    writeVariableList(w, list);
    return w.take();
}

// Reads one variable list from `bytes`; `after` gets the int32 that follows it.
VariableList readList(const Bytes& bytes, int32_t* after = nullptr) {
    ByteReader reader(bytes);
    VariableList list = readVariableList(reader);
    if (after != nullptr)
        *after = reader.readInt();
    return list;
}

// An empty library block after an 8-byte head.
Bytes emptyLibrary() {
    return concat({textBytes("HEADHEAD"), le32(0), le32(0), le32(0), Bytes{0, 0}});
}

// A section exercising every field, composed in memory.
ProgramSection composedSection() {
    ProgramSection s;
    s.library.head = textBytes("\x01\x02\x03\x04\x05\x06\x07\x08");
    LibraryRef lib;
    lib.value1 = 7;
    lib.value2 = -2;
    lib.value3 = 3;
    lib.text1 = "krnln";
    lib.text2 = "{d09f2340-8185-11d3-96f6-aaf844c7e325}";
    lib.texts34 = {"5", "6"};
    lib.text5 = "\xcf\xb5\xcd\xb3";  // 系统
    s.library.libraries = {lib, LibraryRef{}};
    s.settings = {1, 9, Bytes(16, 0xAB), Bytes{1, 2, 3}, "set"};

    AssemblyRecord a;
    a.key = {0x09000001, 5};
    a.word1 = -1;
    a.word2 = 1;
    a.name = "\xb4\xb0\xbf\xda";  // 窗口
    a.note = "note";
    a.idList = {0x04000001, 0x04000002};
    a.variables = {variable(0x15000001, "v1", Bytes{9, 9}), variable(0x15000002, "v2")};
    a.variables[1].flags = 0x0200;
    a.variables[1].valueList = {1, 2, 3};
    a.variables[1].note = "n";
    AssemblyRecord b;
    b.key = {0x49000002, 0};
    b.name = "Class";
    s.assemblies = {a, b};

    SubRecord sub;
    sub.key = {0x04000001, 1};
    sub.ownerId = 0x09000001;
    sub.word2 = 2;
    sub.word3 = 3;
    sub.name = "main";
    sub.variablesA = {variable(0x25000001, "p")};
    sub.blocks = {Bytes{1}, Bytes{}, Bytes{2, 2}, Bytes{}, Bytes{3}, Bytes(40, 4)};
    s.subs = {sub};

    s.globals = {variable(0x05000001, "g")};

    DataTypeRecord type;
    type.key = {0x41000001, 0};
    type.flags = 2;
    type.name = "T";
    type.members = {variable(0x35000001, "m1"), variable(0x35000002, "m2", Bytes(3, 7))};
    s.dataTypes = {type};

    DllCommandRecord dll;
    dll.key = {0x0A000001, 0};
    dll.flags = 4;
    dll.word2 = 8;
    dll.name = "MessageBoxA";
    dll.text3 = "user32.dll";
    dll.text4 = "MessageBoxA";
    dll.parameters = {variable(0x45000001, "hwnd")};
    s.dllCommands = {dll};

    s.trailing = Bytes{0xDE, 0xAD};
    return s;
}

// Sets the keys' second values of every variable list to the offsets the writer computes, as
// reading the written bytes gives them back.
void setOffsetsAsWritten(VariableList& list) {
    int32_t offset = 0;
    for (VariableRecord& v : list) {
        v.key.value = offset;
        offset += static_cast<int32_t>(writtenList({v}).size() - 16);
    }
}

TEST(program_section_test, variable_lists_are_written_byte_exact) {
    VariableRecord ten = variable(0x05000001, "a");
    VariableRecord twenty = variable(0x05000002, "a", Bytes(10, 0x55));
    const Bytes oneRecord = concat({le32(1), le32(0x16), le32(0x05000001), le32(0), le32(0x0A),
                                    le32(1), Bytes{0, 0, 0, 'a', 0, 0}});
    struct Case {
        const char* what;
        VariableList list;
        Bytes expected;
    };
    const Case cases[] = {
        {"empty list", {}, Bytes(8, 0)},
        {"one record of body length 10", {ten}, oneRecord},
        {"bodies of 10 and 20",
         {ten, twenty},
         concat({le32(2), le32(54), le32(0x05000001), le32(0x05000002), le32(0), le32(14), le32(10),
                 le32(1), Bytes{0, 0, 0, 'a', 0, 0}, le32(20), le32(1), Bytes{0, 0, 0, 'a', 0, 0},
                 Bytes(10, 0x55)})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(writtenList(c.list), c.expected);
        VariableList expectedBack = c.list;
        setOffsetsAsWritten(expectedBack);
        EXPECT_EQ(readList(c.expected), expectedBack);
    }
}

TEST(program_section_test, id_table_head_length_counts_eight_bytes_per_entry) {
    struct Case {
        int32_t headLength;
        size_t entries;
    };
    // 12 is one entry: id and second value, and the next 4 bytes belong to the first record.
    for (const Case c : {Case{12, 1}, Case{16, 2}, Case{7, 0}, Case{-8, 0}, Case{0, 0}}) {
        SCOPED_TRACE(c.headLength);
        const Bytes bytes =
            concat({le32(c.headLength), le32(0x09000001), le32(0x09000002), le32(5), le32(6)});
        ByteReader reader(bytes);
        const std::vector<IdEntry> entries = readIdTable(reader);
        ASSERT_EQ(entries.size(), c.entries);
        if (c.entries == 1) {
            EXPECT_EQ(entries[0], (IdEntry{0x09000001, 0x09000002}));
            EXPECT_EQ(reader.position(), 12);
        }
        if (c.entries == 2) {
            EXPECT_EQ(entries[1], (IdEntry{0x09000002, 6}));
        }
    }
    ByteWriter empty;
    writeAssemblies(empty, {});
    EXPECT_EQ(empty.data(), le32(0));
}

TEST(program_section_test, len_text_keeps_the_bytes_before_an_inner_zero) {
    const Bytes payload =
        concat({emptyLibrary(), le32(0), le32(0), le32(0), le32(5), Bytes{'a', 'b', 0, 'x', 'y'}});
    const ProgramSection s = readProgramSection(payload);
    EXPECT_EQ(s.settings.text, "ab");
    ByteWriter w;
    writeProgramSettings(w, s.settings);
    EXPECT_EQ(w.data(), concat({le32(0), le32(0), le32(0), le32(2), Bytes{'a', 'b'}}));
}

TEST(program_section_test, settings_block16_is_present_only_with_flag_bit_0) {
    const Bytes block(16, 0xEE);
    struct Case {
        int32_t flags;
        Bytes bytes;
        Bytes block16;
    };
    const Case cases[] = {
        {2, concat({le32(2), le32(7), le32(2), Bytes{1, 2}, le32(1), Bytes{'t'}}), {}},
        {3, concat({le32(3), le32(7), block, le32(2), Bytes{1, 2}, le32(1), Bytes{'t'}}), block},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        ByteReader reader(c.bytes);
        const ProgramSettings settings = readProgramSettings(reader);
        EXPECT_EQ(settings, (ProgramSettings{c.flags, 7, c.block16, Bytes{1, 2}, "t"}));
        EXPECT_EQ(reader.remaining(), 0);
        ByteWriter w;
        writeProgramSettings(w, settings);
        EXPECT_EQ(w.data(), c.bytes);
    }
}

TEST(program_section_test, library_texts_split_into_five_pieces) {
    struct Case {
        const char* stored;
        std::array<const char*, 5> pieces;
        const char* written;  // as stored when null
    };
    const Case cases[] = {
        {"a\rb\rc\rd\re", {"a", "b", "c", "d", "e"}, nullptr},
        {"a", {"a", "", "", "", ""}, "a\r\r\r\r"},
        {"a\rb\r", {"a", "b", "", "", ""}, "a\rb\r\r\r"},
        {"a\rb\rc\rd\re\rf\rg", {"a", "b", "c", "d", "e"}, "a\rb\rc\rd\re"},
        {"\r\r\r\r", {"", "", "", "", ""}, nullptr},
        {"", {"", "", "", "", ""}, "\r\r\r\r"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        const std::string_view stored = c.stored;
        const Bytes block = concat({textBytes("HEADHEAD"), le32(4), le32(11), le32(2), Bytes{2, 0},
                                    le32(2), Bytes{3, 0}, Bytes{1, 0},
                                    le32(static_cast<int32_t>(stored.size())), textBytes(stored)});
        ByteReader reader(block);
        const LibraryBlock read = readLibraryBlock(reader);
        ASSERT_EQ(read.libraries.size(), 1u);
        const LibraryRef& lib = read.libraries[0];
        EXPECT_EQ(
            (std::array<Text, 5>{lib.text1, lib.text2, lib.texts34[0], lib.texts34[1], lib.text5}),
            (std::array<Text, 5>{c.pieces[0], c.pieces[1], c.pieces[2], c.pieces[3], c.pieces[4]}));
        EXPECT_EQ(lib.value1, 11);
        EXPECT_EQ(lib.value2, 2);
        EXPECT_EQ(lib.value3, 3);

        const std::string_view written = c.written != nullptr ? c.written : c.stored;
        ByteWriter w;
        writeLibraryBlock(w, read);
        EXPECT_EQ(w.data(),
                  concat({textBytes("HEADHEAD"), le32(4), le32(11), le32(2), Bytes{2, 0}, le32(2),
                          Bytes{3, 0}, Bytes{1, 0}, le32(static_cast<int32_t>(written.size())),
                          textBytes(written)}));
    }
}

TEST(program_section_test, library_arrays_beyond_the_first_are_read_over) {
    // Two libraries by the first array, three values in the second, three texts.
    const Bytes block =
        concat({textBytes("HEADHEAD"), le32(8), le32(1), le32(2), le32(6), Bytes{1, 0, 2, 0, 3, 0},
                le32(2), Bytes{9, 0}, Bytes{3, 0}, le32(1), textBytes("x"), le32(1), textBytes("y"),
                le32(1), textBytes("z"), le32(0x7E)});
    ByteReader reader(block);
    const LibraryBlock read = readLibraryBlock(reader);
    ASSERT_EQ(read.libraries.size(), 2u);
    EXPECT_EQ(read.libraries[1].value2, 2);
    EXPECT_EQ(read.libraries[0].value3, 9);
    EXPECT_EQ(read.libraries[1].value3, 0);
    EXPECT_EQ(read.libraries[1].text1, "y");
    EXPECT_EQ(reader.readInt(), 0x7E);
}

TEST(program_section_test, empty_payload_reads_as_the_blank_section) {
    const ProgramSection s = readProgramSection({});
    EXPECT_EQ(s, blankProgramSection());
    ASSERT_EQ(s.library.libraries.size(), 1u);
    EXPECT_EQ(s.library.libraries[0], LibraryRef{});
    EXPECT_EQ(s.settings, ProgramSettings{});
    ASSERT_EQ(s.assemblies.size(), 1u);
    EXPECT_EQ(s.assemblies[0].idList, std::vector<int32_t>{0});
    ASSERT_EQ(s.assemblies[0].variables.size(), 1u);
    EXPECT_EQ(s.assemblies[0].variables[0].valueList, std::vector<int32_t>{0});
    ASSERT_EQ(s.subs.size(), 1u);
    EXPECT_EQ(s.subs[0].blocks, std::vector<Bytes>(6));
    EXPECT_EQ(s.subs[0].variablesA.size(), 1u);
    EXPECT_EQ(s.subs[0].variablesB.size(), 1u);
    ASSERT_EQ(s.globals.size(), 1u);
    EXPECT_EQ(s.globals[0].valueList, std::vector<int32_t>{0});
    ASSERT_EQ(s.dataTypes.size(), 1u);
    EXPECT_EQ(s.dataTypes[0].members.size(), 1u);
    ASSERT_EQ(s.dllCommands.size(), 1u);
    EXPECT_EQ(s.dllCommands[0].parameters.size(), 1u);
    EXPECT_TRUE(s.trailing.empty());

    ProgramSection cleared = s;
    clearItemTables(cleared);
    EXPECT_TRUE(cleared.assemblies.empty() && cleared.subs.empty() && cleared.globals.empty() &&
                cleared.dataTypes.empty() && cleared.dllCommands.empty());
    EXPECT_EQ(cleared.library, s.library);
}

TEST(program_section_test, payload_of_head_only_has_empty_tables) {
    const Bytes head = textBytes("12345678");
    ProgramSection expected;
    expected.library.head = head;
    EXPECT_EQ(readProgramSection(head), expected);
}

// A section whose every table is empty, with `patch` put in place of the first four bytes of the
// part it names.
Bytes emptySectionWith(size_t offset, Bytes patch) {
    ProgramSection empty;
    empty.library.head = Bytes(8, 0);
    Bytes bytes = writeProgramSection(empty, {});
    std::copy(patch.begin(), patch.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
    return bytes;
}

size_t recordsIn(const VariableList& list) {
    return list.size();
}

size_t recordsIn(const ProgramSection& s) {
    size_t n = s.library.libraries.size() + s.assemblies.size() + s.subs.size() +
               s.dataTypes.size() + s.dllCommands.size() + recordsIn(s.globals);
    for (const AssemblyRecord& a : s.assemblies)
        n += a.idList.size() + recordsIn(a.variables);
    for (const SubRecord& sub : s.subs)
        n += recordsIn(sub.variablesA) + recordsIn(sub.variablesB);
    return n;
}

TEST(program_section_test, hostile_counts_neither_allocate_nor_hang) {
    // Offsets in an empty section: library array lengths at 8, 12, 16; settings at 22; assembly
    // headLength at 38, sub at 42, globals count at 46, data types at 54, DLL commands at 58.
    struct Case {
        const char* what;
        size_t offset;
        int32_t value;
    };
    const Case cases[] = {
        {"huge library count", 8, 0x7FFFFFFC},   {"negative library count", 8, -400},
        {"huge second array", 12, 0x7FFFFFFE},   {"huge third array", 16, 0x7FFFFFFE},
        {"huge assembly table", 38, 0x7FFFFFF8}, {"negative assembly table", 38, -16},
        {"huge sub table", 42, 0x7FFFFFF8},      {"huge global count", 46, 0x7FFFFFFF},
        {"negative global count", 46, -1},       {"huge data type table", 54, 0x7FFFFFF8},
        {"huge DLL table", 58, 0x7FFFFFF8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes payload = emptySectionWith(c.offset, le32(c.value));
        payload.resize(payload.size() + 64, 0x11);
        const ProgramSection s = readProgramSection(payload);
        EXPECT_LE(recordsIn(s), payload.size() / 4);
    }

    // Hostile counts nested in a record: an assembly whose idList and variable count are huge.
    AssemblyRecord a;
    a.variables = {variable(1, "v")};
    ByteWriter w;
    writeAssemblies(w, std::vector<AssemblyRecord>{a});
    Bytes table = w.take();
    const size_t idListAt = 4 + 8 + 8 + 4 + 4;
    std::ranges::copy(le32(0x7FFFFFFC), table.begin() + idListAt);
    ByteReader reader(table);
    EXPECT_LE(readAssemblies(reader).at(0).idList.size(), table.size() / 4);
    std::ranges::copy(le32(0), table.begin() + idListAt);
    std::ranges::copy(le32(0x7FFFFFFF), table.begin() + idListAt + 4);
    reader.load(table);
    EXPECT_LE(readAssemblies(reader).at(0).variables.size(), table.size() / 8);
}

TEST(program_section_test, record_length_against_known_fields) {
    // Known fields of "abc": 4 + 2 + 1 + 4 + 1 = 12 bytes.
    const Bytes fields = concat({le32(1), Bytes{0, 0, 0}, textBytes("abc"), Bytes{0, 0}});
    struct Case {
        const char* what;
        int32_t recordLength;
        int32_t bodyLength;  // 0: the offsets do not delimit the records
        Bytes tail;
        int32_t next;  // the int32 read after the list
    };
    const Case cases[] = {
        // Read by the records' own lengths.
        {"surplus kept as tail", 15, 0, Bytes{'x', 'y', 'z'}, 0x77},
        {"fields fill the length", 12, 0, {}, 0x777A7978},
        {"fields overrun the length", 5, 0, {}, 0x777A7978},
        // Delimited by the offsets: the tail is the rest of the span.
        {"offsets agree", 15, 8 + 19, Bytes{'x', 'y', 'z'}, 0x77},
        {"offsets give a longer record", 5, 8 + 19, Bytes{'x', 'y', 'z'}, 0x77},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Bytes list = concat({le32(1), le32(c.bodyLength), le32(0x05000001), le32(0),
                                   le32(c.recordLength), fields, textBytes("xyz"), le32(0x77)});
        int32_t next = 0;
        const VariableList read = readList(list, &next);
        ASSERT_EQ(read.size(), 1u);
        EXPECT_EQ(read[0].name, "abc");
        EXPECT_EQ(read[0].tail, c.tail);
        EXPECT_EQ(next, c.next);
        if (c.bodyLength != 0) {
            const Bytes listOnly(list.begin(), list.end() - 4);
            EXPECT_EQ(writtenList(read), listOnly);
        }
    }
}

TEST(program_section_test, records_counting_their_own_length_field_are_delimited_by_offsets) {
    // Two records whose recordLength counts its own four bytes (11 + 4 and 10 + 4), offsets and
    // bodyLength as the usual convention gives them, then one more int32.
    const Bytes first = concat({le32(15), le32(1), Bytes{0, 0, 0}, textBytes("ab"), Bytes{0, 0}});
    const Bytes second = concat({le32(14), le32(2), Bytes{0, 0, 0}, textBytes("c"), Bytes{0, 0}});
    const auto listBytes = [&](int32_t bodyLength) {
        return concat({le32(2), le32(bodyLength), le32(0x05000001), le32(0x05000002), le32(0),
                       le32(15), first, second, le32(0x1234)});
    };

    // Followed literally, the first record swallows the second's length field and the list
    // loses step with the data. Here the list's bodyLength is spoilt, so nothing delimits it.
    int32_t next = 0;
    const VariableList literal = readList(listBytes(0), &next);
    ASSERT_EQ(literal.size(), 2u);
    EXPECT_EQ(literal[0].tail, le32(14));
    EXPECT_NE(literal[1].name, "c");
    EXPECT_NE(next, 0x1234);

    // With sound offsets and bodyLength, the records are read within their spans.
    const Bytes sound = listBytes(16 + 15 + 14);
    const VariableList mended = readList(sound, &next);
    ASSERT_EQ(mended.size(), 2u);
    EXPECT_EQ(mended[0].name, "ab");
    EXPECT_EQ(mended[1].name, "c");
    EXPECT_EQ(mended[1].typeWord, 2);
    EXPECT_TRUE(mended[0].tail.empty());
    EXPECT_TRUE(mended[1].tail.empty());
    EXPECT_EQ(mended[0].storedRecordLength, 15);
    EXPECT_EQ(mended[1].storedRecordLength, 14);
    EXPECT_EQ(next, 0x1234);
    EXPECT_EQ(writtenList(mended), Bytes(sound.begin(), sound.end() - 4));
}

TEST(program_section_test, composed_section_round_trips) {
    const ProgramSection composed = composedSection();
    const Bytes bytes = writeProgramSection(composed, {});
    const ProgramSection read = readProgramSection(bytes);

    ProgramSection expected = composed;
    for (AssemblyRecord& a : expected.assemblies)
        setOffsetsAsWritten(a.variables);
    for (SubRecord& sub : expected.subs) {
        setOffsetsAsWritten(sub.variablesA);
        setOffsetsAsWritten(sub.variablesB);
    }
    setOffsetsAsWritten(expected.globals);
    for (DataTypeRecord& t : expected.dataTypes)
        setOffsetsAsWritten(t.members);
    for (DllCommandRecord& d : expected.dllCommands)
        setOffsetsAsWritten(d.parameters);
    EXPECT_EQ(read, expected);
    EXPECT_EQ(writeProgramSection(read, {}), bytes);
}

TEST(program_section_test, set_apart_items_are_written_after_the_working_ones) {
    const ProgramSection all = composedSection();
    ProgramSection working = all;
    ProgramSection setApart;
    setApart.library.head = textBytes("ignored!");
    setApart.trailing = Bytes{1};
    setApart.assemblies = {working.assemblies[0]};
    working.assemblies.erase(working.assemblies.begin());
    std::swap(setApart.subs, working.subs);
    std::swap(setApart.globals, working.globals);

    ProgramSection expected = all;
    std::rotate(expected.assemblies.begin(), expected.assemblies.begin() + 1,
                expected.assemblies.end());
    EXPECT_EQ(writeProgramSection(working, setApart), writeProgramSection(expected, {}));
}

// Program sections of the real files, by file name.
std::map<std::string, std::vector<Bytes>> corpusProgramSections() {
    std::map<std::string, std::vector<Bytes>> sections;
    const std::filesystem::path dir = RAMULET_SHARED_DIR "/corpus";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(dir, error)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (file.size() < 8 || !std::equal(kFileMagic.begin(), kFileMagic.end(), file.begin()))
            continue;
        std::vector<Bytes>& payloads = sections[entry.path().filename().string()];
        for (const SectionRecord& section : splitSections(file).container.sections) {
            if (section.head.hasKey(kProgramSectionKey))
                payloads.push_back(section.payload);
        }
    }
    return sections;
}

TEST(program_section_test, corpus_program_sections_are_written_back_unchanged) {
    const std::map<std::string, std::vector<Bytes>> corpus = corpusProgramSections();
    if (corpus.empty())
        GTEST_SKIP() << "no plain source files in " RAMULET_SHARED_DIR "/corpus";

    // Files that cannot come back byte for byte, and why.
    const std::map<std::string, std::string> expectedDifferences = {};

    size_t files = 0, identical = 0;
    for (const auto& [name, payloads] : corpus) {
        ++files;
        bool same = true;
        for (const Bytes& payload : payloads)
            same = same && writeProgramSection(readProgramSection(payload), {}) == payload;
        identical += same ? 1 : 0;
        const bool listed = expectedDifferences.contains(name);
        EXPECT_EQ(same, !listed) << name
                                 << (listed ? " now matches; take it off the list"
                                            : " is not written back unchanged");
    }
    std::cout << "program sections: " << identical << " of " << files
              << " plain files written back byte for byte\n";
}

}  // namespace
}  // namespace ramulet
