#include "container/container.h"

#include <gtest/gtest.h>

#include "container/byte_writer.h"

namespace ramulet {
namespace {

Bytes fileMagic() {
    return Bytes(kFileMagic.begin(), kFileMagic.end());
}

// A section as stored, with checksums and index as given (not necessarily correct ones).
Bytes rawSection(const SectionKey& key, Bytes payload, int32_t index = 1, int32_t flag = 0,
                 Bytes name = Bytes(30, 0)) {
    ByteWriter w;
    w.bytes(kSectionMagic);
    w.u32(0xDEADBEEF);  // head checksum, never verified
    w.bytes(key);
    name.resize(30);
    w.bytes(name);
    w.bytes(Bytes{9, 8});
    w.i32(index);
    w.i32(flag);
    w.u32(0x01020304);
    w.i32(static_cast<int32_t>(payload.size()));
    w.bytes(Bytes(40, 0x55));
    w.bytes(payload);
    return w.take();
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

TEST(container_test, fold_checksum_xors_into_four_bytes) {
    const Bytes in = {1, 2, 3, 4, 5};
    EXPECT_EQ(foldChecksum(in), (std::array<uint8_t, 4>{4, 2, 3, 4}));
    EXPECT_EQ(foldChecksum({}), (std::array<uint8_t, 4>{0, 0, 0, 0}));
}

TEST(container_test, unscramble_shifts_the_key_by_one) {
    Bytes name = {0x32, 0x42, 0x01, 0x19};
    name.resize(30);
    const SectionKey key = sectionKey(0x01);
    const Bytes plain = unscrambleName(name, key);
    EXPECT_EQ(plain[0], 0x41);
    EXPECT_EQ(plain[1], 0x42);
    EXPECT_EQ(plain[2], 0);
    EXPECT_EQ(plain[3], 0);
    SectionHead head;
    head.key.assign(key.begin(), key.end());
    head.name = name;
    EXPECT_EQ(sectionNameText(head), "AB");
    EXPECT_EQ(unscrambleName(plain, key), name);  // its own inverse
    EXPECT_EQ(unscrambleName(Bytes(30, 0), key), Bytes(30, 0));
}

TEST(container_test, magic_alone_splits_into_no_sections) {
    const SplitResult r = splitSections(fileMagic());
    EXPECT_EQ(r.error, "");
    EXPECT_TRUE(r.container.sections.empty());
}

TEST(container_test, split_failures_carry_their_texts) {
    struct Case {
        const char* what;
        Bytes bytes;
        const Text* error;
        size_t sections;
    };
    const Bytes good = rawSection(sectionKey(1), {1, 2, 3});
    const Case cases[] = {
        {"no bytes", {}, &messages::kNoData, 0},
        {"wrong magic", Bytes{'C', 'N', 'W', 'T', 'E', 'P', 'R', 'X'},
         &messages::kBadContainerMagic, 0},
        {"one stray byte", concat({fileMagic(), good, {0x19}}), &messages::kBadSectionMagic, 1},
        {"three stray bytes", concat({fileMagic(), good, {0x19, 0x73, 0x11}}),
         &messages::kBadSectionMagic, 1},
        {"bad section magic", concat({fileMagic(), good, {1, 2, 3, 4, 5}}),
         &messages::kBadSectionMagic, 1},
    };
    for (const Case& c : cases) {
        const SplitResult r = splitSections(c.bytes);
        EXPECT_EQ(r.error, *c.error) << c.what;
        EXPECT_EQ(r.container.sections.size(), c.sections) << c.what;
    }
}

TEST(container_test, overlong_last_section_is_cut_short) {
    Bytes file = concat({fileMagic(), rawSection(sectionKey(4), {1, 2, 3, 4, 5, 6})});
    file.resize(file.size() - 2);
    const SplitResult r = splitSections(file);
    EXPECT_EQ(r.error, "");
    ASSERT_EQ(r.container.sections.size(), 1u);
    EXPECT_EQ(r.container.sections[0].payload, (Bytes{1, 2, 3, 4}));
}

TEST(container_test, save_recomputes_index_length_checksums_and_flag) {
    const Bytes program = {1, 2, 3};
    const Bytes other = {7, 7, 7, 7, 7};
    Bytes file = concat({fileMagic(), rawSection(sectionKey(2), other, 9, 5),
                         rawSection(kProgramSectionKey, program, 9),
                         rawSection(kProgramSectionKey, program, 9)});
    SplitResult r = splitSections(file);
    ASSERT_EQ(r.error, "");
    const Bytes newProgram = {0xAA, 0xBB};
    const Bytes saved = buildSourceFile(r.container, newProgram);
    const SplitResult again = splitSections(saved);
    ASSERT_EQ(again.error, "");
    ASSERT_EQ(again.container.sections.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        const SectionRecord& s = again.container.sections[i];
        EXPECT_EQ(s.head.index, static_cast<int32_t>(i + 1));
        EXPECT_EQ(s.head.dataLength, static_cast<int32_t>(s.payload.size()));
        const auto dataSum = foldChecksum(s.payload);
        EXPECT_EQ(s.head.dataChecksum, Bytes(dataSum.begin(), dataSum.end()));
        // The head checksum covers the 92 bytes after it.
        const size_t at =
            8 + (i == 0 ? 0 : 100 + other.size() + (i - 1) * (100 + newProgram.size()));
        const auto headSum = foldChecksum(ByteView(saved).subspan(at + 8, 92));
        EXPECT_EQ(s.headChecksum, Bytes(headSum.begin(), headSum.end()));
    }
    EXPECT_EQ(again.container.sections[0].payload, other);
    EXPECT_EQ(again.container.sections[1].payload, newProgram);
    EXPECT_EQ(again.container.sections[2].payload, newProgram);
    // The flag stored as 5 comes back as 1; reserved bytes are carried.
    EXPECT_EQ(saved[8 + 48], 1);
    EXPECT_EQ(saved[8 + 42], 9);
    EXPECT_EQ(saved[8 + 60], 0x55);
}

}  // namespace
}  // namespace ramulet
