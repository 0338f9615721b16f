#include "model/resource_section.h"

#include <gtest/gtest.h>

#include "container/byte_writer.h"
#include "fixtures/fixture_builder.h"

namespace ramulet {
namespace {

WindowRecord window(ObjectId id, Text name, int32_t words = 0) {
    WindowRecord w;
    w.key = {id, 7};
    w.word1 = words;
    w.word2 = -words;
    w.name = std::move(name);
    w.note = "note";
    w.word3 = words + 1;
    w.contentBytes = {1, 2, 3, 0, 5};
    return w;
}

ConstantRecord constant(ObjectId id, Text name, uint8_t valueType, Bytes data, int16_t flags = 0) {
    ConstantRecord c;
    c.key = {id, static_cast<int32_t>(id & 0xFF)};
    c.flags = flags;
    c.name = std::move(name);
    c.note = "n";
    c.valueType = valueType;
    c.data = std::move(data);
    return c;
}

constexpr ObjectId kConstantId = 0x10000001;
constexpr ObjectId kPictureId = 0x20000002;
constexpr ObjectId kSoundId = 0x30000003;

// The constant table with one class-1 entry per value type, written by hand: count, table
// length (not read), ids, second values, then the entry bodies.
Bytes constantTable(const std::vector<std::pair<uint8_t, Bytes>>& typedValues) {
    ByteWriter w;
    w.i32(static_cast<int32_t>(typedValues.size()));
    w.i32(0);
    for (size_t i = 0; i < typedValues.size(); ++i)
        w.u32(kConstantId + static_cast<ObjectId>(i));
    for (size_t i = 0; i < typedValues.size(); ++i)
        w.i32(0);
    for (const auto& [type, value] : typedValues) {
        w.i32(0);
        w.i16(0);
        w.zeroText("c");
        w.zeroText("");
        w.u8(type);
        w.bytes(value);
    }
    return w.take();
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

TEST(resource_section_test, empty_payload_reads_as_one_blank_window_and_constant) {
    const ResourceSection s = readResourceSection({});
    ASSERT_EQ(s.windows.size(), 1u);
    ASSERT_EQ(s.constants.size(), 1u);
    EXPECT_EQ(s.windows[0], WindowRecord{});
    EXPECT_EQ(s.constants[0], ConstantRecord{});
    EXPECT_TRUE(s.trailing.empty());
    EXPECT_EQ(s, blankResourceSection());
}

TEST(resource_section_test, every_record_kind_round_trips) {
    ResourceSection s;
    // 窗口
    const Text windowName = "\xb4\xb0\xbf\xda";
    s.windows = {window(0x52000001, windowName, 3), window(0x52000002, "", -9)};
    s.constants = {
        constant(kConstantId, "none", 22, {}),
        constant(kConstantId + 1, "long", 23, {1, 2, 3, 4, 5, 6, 7, 8}),
        constant(kConstantId + 2, "short", 24, {9, 10}, 0x0003),
        constant(kConstantId + 3, "double", 25, {0, 0, 0, 0, 0, 0, 0xF0, 0x3F}),
        constant(kConstantId + 4, "bytes", 26, {'a', 0, 'b'}),
        constant(kConstantId + 5, "other type", 7, {}),
        constant(kPictureId, "picture", 0, {0x89, 'P', 'N', 'G'}, kSetApartFlag),
        constant(kSoundId, "sound", 0, {}),
        constant(0x0F000004, "class 0", 0, {4, 4}),
        constant(0x50000005, "class 5", 0, {5}),
    };
    s.trailing = {0, 0, 0, 0, 0xAA};
    EXPECT_EQ(readResourceSection(writeResourceSectionPayload(s)), s);
}

TEST(resource_section_test, head_length_sets_the_window_count) {
    // The window table is followed directly by an empty constant table and one trailing byte.
    const Bytes tail = {0, 0, 0, 0, 0, 0, 0, 0, 0xEE};
    for (int32_t headLength : {-7, -1, -8, -80, INT32_MIN}) {
        ByteWriter w;
        w.i32(headLength);
        w.bytes(tail);
        const ResourceSection s = readResourceSection(w.data());
        EXPECT_TRUE(s.windows.empty()) << headLength;
        EXPECT_TRUE(s.constants.empty()) << headLength;
        EXPECT_EQ(s.trailing, Bytes{0xEE}) << headLength;
    }

    // 12 describes one entry: the id and the second value take 8 bytes, and the 4 bytes that
    // follow already belong to the window body.
    ByteWriter w;
    w.i32(12);
    w.u32(0x52000001);
    w.i32(-5);
    w.i32(111);  // word1
    w.i32(222);  // word2
    w.lenText("win");
    w.lenText("");
    w.i32(333);  // word3
    w.lenBytes(Bytes{1});
    w.bytes(tail);
    const ResourceSection s = readResourceSection(w.data());
    ASSERT_EQ(s.windows.size(), 1u);
    EXPECT_EQ(s.windows[0].key, (IdEntry{0x52000001, -5}));
    EXPECT_EQ(s.windows[0].word1, 111);
    EXPECT_EQ(s.windows[0].word2, 222);
    EXPECT_EQ(s.windows[0].name, "win");
    EXPECT_EQ(s.windows[0].word3, 333);
    EXPECT_EQ(s.windows[0].contentBytes, Bytes{1});
    EXPECT_EQ(s.trailing, Bytes{0xEE});
}

TEST(resource_section_test, class_one_value_type_decides_the_value_bytes) {
    struct Case {
        uint8_t type;
        Bytes value;  // as stored after the type byte
        Bytes data;   // as read
    };
    const Case cases[] = {
        {22, {}, {}},
        {23, {1, 2, 3, 4, 5, 6, 7, 8}, {1, 2, 3, 4, 5, 6, 7, 8}},
        {24, {1, 2}, {1, 2}},
        {25, {8, 7, 6, 5, 4, 3, 2, 1}, {8, 7, 6, 5, 4, 3, 2, 1}},
        {26, {3, 0, 0, 0, 'x', 'y', 'z'}, {'x', 'y', 'z'}},
        {26, {0xFF, 0xFF, 0xFF, 0xFF}, {}},
        {0, {}, {}},
        {21, {}, {}},
        {27, {}, {}},
        {255, {}, {}},
    };
    for (const Case& c : cases) {
        // A second entry right behind shows where the first one ended.
        const Bytes payload =
            concat({{0, 0, 0, 0}, constantTable({{c.type, c.value}, {22, {}}}), {0xEE}});
        const ResourceSection s = readResourceSection(payload);
        ASSERT_EQ(s.constants.size(), 2u) << int(c.type);
        EXPECT_EQ(s.constants[0].valueType, c.type);
        EXPECT_EQ(s.constants[0].data, c.data) << int(c.type);
        EXPECT_EQ(s.constants[1].name, "c") << int(c.type);
        EXPECT_EQ(s.constants[1].valueType, 22) << int(c.type);
        EXPECT_EQ(s.trailing, Bytes{0xEE}) << int(c.type);
    }
}

TEST(resource_section_test, other_classes_read_a_length_prefixed_data_block) {
    for (ObjectId id :
         {kPictureId, kSoundId, ObjectId{0x00000009}, ObjectId{0x40000001}, ObjectId{0xF0000001}}) {
        ByteWriter w;
        w.i32(0);  // no windows
        w.i32(1);
        w.i32(0);
        w.u32(id);
        w.i32(0);
        w.i32(0);
        w.i16(0x0104);
        w.zeroText("pic");
        w.zeroText("remark");
        w.lenBytes(Bytes{23, 1, 2});  // would be a class-1 type byte if read as one
        w.u8(0xEE);
        const ResourceSection s = readResourceSection(w.data());
        ASSERT_EQ(s.constants.size(), 1u);
        const ConstantRecord& c = s.constants[0];
        EXPECT_EQ(c.key.id, id);
        EXPECT_EQ(c.flags, 0x0104);
        EXPECT_EQ(c.name, "pic");
        EXPECT_EQ(c.note, "remark");
        EXPECT_EQ(c.valueType, 0);
        EXPECT_EQ(c.data, (Bytes{23, 1, 2}));
        EXPECT_EQ(s.trailing, Bytes{0xEE});
    }
}

TEST(resource_section_test, window_name_is_cut_at_its_zero_byte) {
    ByteWriter w;
    w.i32(8);
    w.u32(0x52000001);
    w.i32(0);
    w.i32(1);
    w.i32(2);
    w.lenBytes(Bytes{'a', 'b', 0, 'c', 'd'});
    w.lenText("note");
    w.i32(3);
    w.lenBytes(Bytes{});
    const ResourceSection s = readResourceSection(w.data());
    ASSERT_EQ(s.windows.size(), 1u);
    EXPECT_EQ(s.windows[0].name, "ab");
    EXPECT_EQ(s.windows[0].note, "note");
    EXPECT_EQ(s.windows[0].word3, 3);
}

TEST(resource_section_test, negative_constant_count_reads_no_entries) {
    ByteWriter w;
    w.i32(0);
    w.i32(-1);
    w.i32(0);
    w.bytes(Bytes{1, 2, 3});
    const ResourceSection s = readResourceSection(w.data());
    EXPECT_TRUE(s.constants.empty());
    EXPECT_EQ(s.trailing, (Bytes{1, 2, 3}));
}

TEST(resource_section_test, huge_counts_are_cut_to_what_the_bytes_can_hold) {
    {
        ByteWriter w;
        w.i32(INT32_MAX - 7);
        w.bytes(Bytes(200, 0));
        const ResourceSection s = readResourceSection(w.data());
        EXPECT_LE(s.windows.size(), 200u / 24);
    }
    {
        ByteWriter w;
        w.i32(0);
        w.i32(INT32_MAX);
        w.i32(0);
        w.bytes(Bytes(200, 0));
        const ResourceSection s = readResourceSection(w.data());
        EXPECT_LE(s.constants.size(), 200u / 9);
    }
}

TEST(resource_section_test, smallest_records_that_fill_the_payload_all_read) {
    // Windows with empty texts and content take 32 bytes each, id table entry included; class-1
    // entries of type 22 with empty texts take 17. The payload ends right after the records.
    ResourceSection windowsOnly;
    for (ObjectId i = 1; i <= 3; ++i) {
        WindowRecord w;
        w.key.id = 0x52000000 + i;
        windowsOnly.windows.push_back(w);
    }
    Bytes payload = writeResourceSectionPayload(windowsOnly);
    payload.resize(payload.size() - 8);  // drop the empty constant table
    EXPECT_EQ(readResourceSection(payload).windows.size(), 3u);

    ResourceSection constantsOnly;
    for (ObjectId i = 1; i <= 4; ++i)
        constantsOnly.constants.push_back(constant(kConstantId + i, "", 22, {}));
    for (ConstantRecord& c : constantsOnly.constants)
        c.note.clear();
    EXPECT_EQ(readResourceSection(writeResourceSectionPayload(constantsOnly)), constantsOnly);
}

TEST(resource_section_test, truncated_payloads_read_without_fault) {
    ResourceSection s;
    s.windows = {window(0x52000001, "a", 1), window(0x52000002, "b", 2)};
    s.constants = {constant(kConstantId, "x", 26, {1, 2, 3}), constant(kPictureId, "p", 0, {4})};
    const Bytes full = writeResourceSectionPayload(s);
    for (size_t n = 1; n < full.size(); ++n) {
        const ResourceSection cut = readResourceSection(ByteView(full).first(n));
        EXPECT_LE(cut.windows.size(), 2u);
        EXPECT_LE(cut.constants.size(), 2u);
    }
}

TEST(resource_section_test, flagged_constants_are_set_apart_in_file_order) {
    ResourceSection working;
    working.windows = {window(0x52000001, "w")};
    working.trailing = {9};
    const int16_t flags[10] = {0, 4, 3, 0, 5, 1, 0x7FFF, 2, 0, 0};
    for (int i = 0; i < 10; ++i)
        working.constants.push_back(
            constant(kConstantId + static_cast<ObjectId>(i), std::to_string(i), 22, {}, flags[i]));

    ResourceSection setApart;
    setApart.windows = {window(0x52000009, "old")};
    setApart.constants = {constant(kConstantId + 99, "old", 22, {})};
    const ResourceSection result = setApartFlaggedConstants(working, setApart);

    auto names = [](const ResourceSection& s) {
        std::vector<Text> out;
        for (const ConstantRecord& c : s.constants)
            out.push_back(c.name);
        return out;
    };
    EXPECT_EQ(names(result), (std::vector<Text>{"0", "2", "3", "5", "7", "8", "9"}));
    EXPECT_EQ(names(setApart), (std::vector<Text>{"1", "4", "6"}));
    EXPECT_TRUE(setApart.windows.empty());
    EXPECT_EQ(result.windows, working.windows);
    EXPECT_EQ(result.trailing, working.trailing);
    EXPECT_EQ(working.constants.size(), 10u);  // the input is left as it was

    // A second refresh finds nothing flagged and empties the set-apart record.
    const ResourceSection again = setApartFlaggedConstants(result, setApart);
    EXPECT_EQ(again, result);
    EXPECT_TRUE(setApart.constants.empty());
}

}  // namespace
}  // namespace ramulet
