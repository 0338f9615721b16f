#include <gtest/gtest.h>

#include "container/byte_writer.h"
#include "fixtures/fixture_builder.h"
#include "model/sections.h"

namespace ramulet {
namespace {

// --- item marks ---

TEST(small_sections_test, empty_mark_payload_reads_as_one_zero_entry) {
    EXPECT_EQ(readItemMarkTable({}), (ItemMarkTable{{0, 0}}));
}

TEST(small_sections_test, marks_round_trip) {
    const ItemMarkTable marks = {{0x09000001, 2}, {0x19000002, 1}, {0xFFFFFFFF, -3}};
    EXPECT_EQ(readItemMarkTable(writeItemMarkPayload(marks)), marks);
}

TEST(small_sections_test, leftover_bytes_after_the_last_mark_pair_are_ignored) {
    const ItemMarkTable marks = {{0x09000001, 2}, {0x09000002, 3}};
    for (size_t r = 0; r < 8; ++r) {
        Bytes payload = writeItemMarkPayload(marks);
        payload.insert(payload.end(), r, 0x77);
        EXPECT_EQ(readItemMarkTable(payload), marks) << r;
    }
    // Fewer than 8 bytes hold no pair at all.
    EXPECT_TRUE(readItemMarkTable(Bytes{1, 2, 3, 4, 5, 6, 7}).empty());
}

// --- module references ---

ModuleReference module(Text name, Text path, std::vector<NumberPair> pairs) {
    ModuleReference m;
    m.word1 = 1;
    m.word2 = -2;
    m.word3 = 3;
    m.word4 = 0x7FFFFFFF;
    m.truthValue = true;
    m.name = std::move(name);
    m.path = std::move(path);
    m.numberPairs = std::move(pairs);
    return m;
}

TEST(small_sections_test, empty_module_payload_reads_as_one_blank_reference) {
    const ModuleReferenceTable table = readModuleReferenceTable({});
    ASSERT_EQ(table.size(), 1u);
    ModuleReference blank;
    blank.numberPairs = {{0, 0}};
    EXPECT_EQ(table[0], blank);
}

TEST(small_sections_test, module_references_round_trip) {
    // 精易模块 / 模块\精易模块.ec
    const ModuleReferenceTable table = {
        module("\xbe\xab\xd2\xd7\xc4\xa3\xbf\xe9",
               "\xc4\xa3\xbf\xe9\\\xbe\xab\xd2\xd7\xc4\xa3\xbf\xe9.ec", {{1, 2}, {3, -4}}),
        module("", "", {}),
    };
    EXPECT_EQ(readModuleReferenceTable(writeModuleReferencePayload(table)), table);
}

// One module body with the two columns as given: byte lengths and values.
Bytes moduleWithColumns(int32_t l1, const std::vector<int32_t>& first, int32_t l2,
                        const std::vector<int32_t>& second) {
    ByteWriter w;
    w.i32(1);
    for (int i = 0; i < 4; ++i)
        w.i32(10 + i);
    w.i32(2);  // any non-zero value is true
    w.lenText("m");
    w.lenText("p");
    w.i32(l1);
    for (int32_t v : first)
        w.i32(v);
    w.i32(l2);
    for (int32_t v : second)
        w.i32(v);
    return w.take();
}

TEST(small_sections_test, second_column_length_decides_the_number_of_pairs) {
    struct Case {
        const char* what;
        int32_t l1;
        std::vector<int32_t> first;
        int32_t l2;
        std::vector<int32_t> second;
        std::vector<NumberPair> pairs;
    };
    const Case cases[] = {
        {"equal", 8, {1, 2}, 8, {3, 4}, {{1, 3}, {2, 4}}},
        {"first longer", 8, {1, 2}, 4, {3}, {{1, 3}}},
        {"second longer", 4, {1}, 8, {3, 4}, {{1, 3}, {0, 4}}},
        {"lengths not multiples of 4", 7, {1}, 5, {3}, {{1, 3}}},
        {"first column -3", -3, {}, 4, {3}, {{0, 3}}},
        {"second column -1", 4, {1}, -1, {}, {}},
        {"first column -4", -4, {}, 4, {3}, {{0, 3}}},
        {"second column min", 4, {1}, INT32_MIN, {}, {}},
    };
    for (const Case& c : cases) {
        Bytes payload = moduleWithColumns(c.l1, c.first, c.l2, c.second);
        const ModuleReferenceTable table = readModuleReferenceTable(payload);
        ASSERT_EQ(table.size(), 1u) << c.what;
        EXPECT_EQ(table[0].numberPairs, c.pairs) << c.what;
        EXPECT_TRUE(table[0].truthValue) << c.what;
        EXPECT_EQ(table[0].word4, 13) << c.what;
        EXPECT_EQ(table[0].path, "p") << c.what;
    }
}

TEST(small_sections_test, negative_or_huge_module_count_is_bounded_by_the_data) {
    for (int32_t n : {-1, INT32_MIN}) {
        ByteWriter w;
        w.i32(n);
        w.bytes(Bytes(100, 0));
        EXPECT_TRUE(readModuleReferenceTable(w.data()).empty()) << n;
    }
    ByteWriter w;
    w.i32(INT32_MAX);
    w.bytes(Bytes(100, 0));
    EXPECT_LE(readModuleReferenceTable(w.data()).size(), 100u / 36);

    // A huge column length allocates no more values than the bytes left.
    const ModuleReferenceTable table =
        readModuleReferenceTable(moduleWithColumns(INT32_MAX, {5, 6}, 0, {}));
    ASSERT_EQ(table.size(), 1u);
    EXPECT_TRUE(table[0].numberPairs.empty());
}

TEST(small_sections_test, smallest_module_bodies_that_fill_the_payload_all_read) {
    const ModuleReferenceTable table(3);
    const Bytes payload = writeModuleReferencePayload(table);
    EXPECT_EQ(payload.size(), 4u + 3 * 36);
    EXPECT_EQ(readModuleReferenceTable(payload), table);
}

// --- external file records ---

TEST(small_sections_test, empty_external_payload_reads_as_one_empty_entry) {
    const ExternalFileRecords records = readExternalFileRecords({});
    EXPECT_EQ(records.entries, std::vector<Text>{""});
    EXPECT_TRUE(records.middleBytes.empty());
    EXPECT_EQ(records.closingText, "");
}

TEST(small_sections_test, external_file_records_round_trip) {
    ExternalFileRecords records;
    // C:\资源\图标.ico
    records.entries = {"C:\\\xd7\xca\xd4\xb4\\\xcd\xbc\xb1\xea.ico", "", "b.dll"};
    records.middleBytes = {1, 0, 0, 0x80};
    records.closingText = "end";
    EXPECT_EQ(readExternalFileRecords(writeExternalFilesPayload(records)), records);
}

TEST(small_sections_test, external_count_is_sixteen_bits_and_ffff_is_minus_one) {
    // FF FF is -1: no entries, and the four bytes after the count are the middle bytes.
    ByteWriter w;
    w.u8(0xFF);
    w.u8(0xFF);
    w.bytes(Bytes{1, 2, 3, 4});
    w.lenText("tail");
    const ExternalFileRecords records = readExternalFileRecords(w.data());
    EXPECT_TRUE(records.entries.empty());
    EXPECT_EQ(records.middleBytes, (Bytes{1, 2, 3, 4}));
    EXPECT_EQ(records.closingText, "tail");

    // 0x7FFF with only a few bytes behind it reads no more entries than they could hold.
    ByteWriter big;
    big.i16(0x7FFF);
    big.lenText("x");
    big.bytes(Bytes(11, 0));
    EXPECT_LE(readExternalFileRecords(big.data()).entries.size(), 20u / 4);
}

TEST(small_sections_test, empty_external_entries_still_count) {
    ExternalFileRecords records;
    records.entries = {"", "", ""};
    Bytes payload = writeExternalFilesPayload(records);
    payload.resize(2 + 3 * 4);  // nothing after the entries
    const ExternalFileRecords read = readExternalFileRecords(payload);
    EXPECT_EQ(read.entries.size(), 3u);
    EXPECT_TRUE(read.middleBytes.empty());
}

TEST(small_sections_test, truncated_small_payloads_read_without_fault) {
    const Bytes modules =
        writeModuleReferencePayload({module("a", "b", {{1, 2}}), module("c", "d", {})});
    for (size_t n = 1; n < modules.size(); ++n)
        EXPECT_LE(readModuleReferenceTable(ByteView(modules).first(n)).size(), 2u);
    ExternalFileRecords records;
    records.entries = {"one", "two"};
    records.middleBytes = {1, 2, 3, 4};
    records.closingText = "z";
    const Bytes external = writeExternalFilesPayload(records);
    for (size_t n = 1; n < external.size(); ++n)
        EXPECT_LE(readExternalFileRecords(ByteView(external).first(n)).entries.size(), 2u);
}

}  // namespace
}  // namespace ramulet
