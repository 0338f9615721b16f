#include "fixtures/fixture_builder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "container/byte_writer.h"

namespace ramulet {
namespace {

TEST(fixture_builder_test, composed_file_splits_back_into_its_sections) {
    // 用户信息
    const Text userName = "\xd3\xc3\xbb\xa7\xd0\xc5\xcf\xa2";
    const std::vector<FixtureSection> sections = {
        {kUserInfoKey, userName, {1, 2, 3}},
        {sectionKey(0x07), "other", {}},
        {kItemMarkKey, "", {9, 9, 9, 9, 9}},
        {kExternalFileKey, std::string(40, 'x'), {4}},
    };
    const Bytes file = buildFixtureFile(sections);
    const SplitResult split = splitSections(file);
    ASSERT_EQ(split.error, "");
    ASSERT_EQ(split.container.sections.size(), sections.size());

    size_t offset = 8;
    for (size_t i = 0; i < sections.size(); ++i) {
        const SectionRecord& s = split.container.sections[i];
        EXPECT_TRUE(s.head.hasKey(sections[i].key)) << i;
        EXPECT_EQ(s.payload, sections[i].payload) << i;
        EXPECT_EQ(s.head.index, static_cast<int32_t>(i + 1)) << i;
        EXPECT_EQ(s.head.dataLength, static_cast<int32_t>(sections[i].payload.size())) << i;
        // Both checksums, recomputed from the file bytes themselves.
        const ByteView raw = ByteView(file).subspan(offset, 100 + s.payload.size());
        const auto headSum = foldChecksum(raw.subspan(8, 92));
        EXPECT_TRUE(std::equal(headSum.begin(), headSum.end(), raw.begin() + 4)) << i;
        const auto dataSum = foldChecksum(raw.subspan(100));
        EXPECT_TRUE(std::equal(dataSum.begin(), dataSum.end(), raw.begin() + 52)) << i;
        offset += raw.size();
    }
    EXPECT_EQ(offset, file.size());

    EXPECT_EQ(sectionNameText(split.container.sections[0].head), userName);
    EXPECT_NE(toText(split.container.sections[0].head.name).substr(0, userName.size()), userName)
        << "the stored name is scrambled";
    EXPECT_EQ(sectionNameText(split.container.sections[1].head), "other");
    EXPECT_EQ(split.container.sections[2].head.name, Bytes(30, 0));
    EXPECT_EQ(sectionNameText(split.container.sections[3].head), std::string(30, 'x'));
}

TEST(fixture_builder_test, no_sections_give_the_bare_magic) {
    EXPECT_EQ(buildFixtureFile({}), Bytes(kFileMagic.begin(), kFileMagic.end()));
}

TEST(fixture_builder_test, resource_payload_computes_table_and_entry_lengths) {
    ResourceSection s;
    ConstantRecord c;
    c.key = {0x10000001, 7};
    c.name = "A";
    c.valueType = 24;
    c.data = {1, 2};
    s.constants = {c};
    s.trailing = {0, 0, 0, 0};
    const Bytes expected = {
        0,   0, 0, 0,     // no windows
        1,   0, 0, 0,     // one entry
        20,  0, 0, 0,     // bytes of the table after this length
        1,   0, 0, 0x10,  // id
        7,   0, 0, 0,     // second value
        8,   0, 0, 0,     // bytes of the entry after this length
        0,   0,           // flags
        'A', 0, 0,        // name, note
        24,  1, 2,        // value type and value
        0,   0, 0, 0,     // trailing
    };
    EXPECT_EQ(writeResourceSectionPayload(s), expected);
}

TEST(fixture_builder_test, fixed_size_fields_are_padded_or_cut) {
    SystemInfo system;
    system.reserved = {1, 2, 3};
    const Bytes systemPayload = writeSystemInfoPayload(system);
    ASSERT_EQ(systemPayload.size(), 60u);
    EXPECT_EQ(readSystemInfo(systemPayload).reserved.size(), 32u);

    ExternalFileRecords records;
    records.middleBytes = {1, 2, 3, 4, 5, 6};
    const Bytes external = writeExternalFilesPayload(records);
    EXPECT_EQ(external, (Bytes{0, 0, 1, 2, 3, 4, 0, 0, 0, 0}));

    UserInfo user;
    user.compilePluginName = std::string(25, 'p');
    const UserInfo read = readUserInfo(writeUserInfoPayload(user));
    EXPECT_EQ(read.compilePluginName, std::string(20, 'p'));
    EXPECT_EQ(read.reserved, Bytes(4, 0));
}

TEST(fixture_builder_test, user_payload_writes_the_remark_marker_only_when_needed) {
    UserInfo user;
    user.description = "d";
    ByteWriter plain;
    plain.lenText("");
    plain.lenText("d");
    const Bytes payload = writeUserInfoPayload(user);
    EXPECT_TRUE(std::equal(plain.data().begin(), plain.data().end(), payload.begin()));
    EXPECT_EQ(payload.size(), 8u + 1 + 8 * 4 + 4 * 4 + 4 + 20 + 4 + 4);
}

Bytes readWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Writing what the reader made of a real payload gives the same record again; for the sections
// whose layout the readers take in full, it gives the very bytes of the file.
template <typename Record>
void checkCorpusPayload(const Bytes& payload, Record (*read)(ByteView),
                        Bytes (*write)(const Record&), bool exact, const std::string& where) {
    const Record record = read(payload);
    const Bytes written = write(record);
    EXPECT_EQ(read(written), record) << where;
    if (exact) {
        EXPECT_EQ(written, payload) << where;
    }
}

TEST(fixture_builder_test, writers_agree_with_real_project_files) {
    const std::filesystem::path corpus = RAMULET_SHARED_DIR "/corpus";
    if (!std::filesystem::is_directory(corpus))
        GTEST_SKIP() << "no project files in " << corpus;
    int checked = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        const SplitResult split = splitSections(readWholeFile(entry.path()));
        if (!split.error.empty())
            continue;
        for (const SectionRecord& s : split.container.sections) {
            if (s.payload.empty())
                continue;
            const std::string where = entry.path().filename().string();
            if (s.head.hasKey(kUserInfoKey)) {
                checkCorpusPayload(s.payload, readUserInfo, writeUserInfoPayload, true, where);
            } else if (s.head.hasKey(kSystemInfoKey)) {
                checkCorpusPayload(s.payload, readSystemInfo, writeSystemInfoPayload, true, where);
            } else if (s.head.hasKey(kItemMarkKey)) {
                checkCorpusPayload(s.payload, readItemMarkTable, writeItemMarkPayload, true, where);
            } else if (s.head.hasKey(kModuleReferenceKey)) {
                checkCorpusPayload(s.payload, readModuleReferenceTable, writeModuleReferencePayload,
                                   true, where);
            } else if (s.head.hasKey(kResourceSectionKey)) {
                // A few files hold constant entries longer than their fields, which the
                // reader does not skip; only the record is compared.
                checkCorpusPayload(s.payload, readResourceSection, writeResourceSectionPayload,
                                   false, where);
            } else if (s.head.hasKey(kExternalFileKey)) {
                checkCorpusPayload(s.payload, readExternalFileRecords, writeExternalFilesPayload,
                                   false, where);
            } else {
                continue;
            }
            ++checked;
        }
    }
    EXPECT_GT(checked, 0);
}

}  // namespace
}  // namespace ramulet
