// Every real project file of the corpus goes through load, save, reload, sort and save again.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "model/project_file.h"
#include "tree/program_items.h"
#include "tree/tree_builder.h"

namespace ramulet {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> corpusFiles() {
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(RAMULET_SHARED_DIR "/corpus", ec)) {
        const auto ext = e.path().extension();
        if (e.is_regular_file() && (ext == ".e" || ext == ".ec"))
            files.push_back(e.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

struct Loaded {
    SectionContainer container;
    ProjectModel model = ProjectModel::initial();
    ProgramTreeContent tree;
};

Loaded load(ByteView bytes) {
    Loaded l;
    SplitResult split = splitSections(bytes);
    EXPECT_EQ(split.error, "");
    l.container = std::move(split.container);
    loadProject(l.model, l.container);
    l.tree = refreshProgramTree(l.model);
    return l;
}

// A stored head is canonical when the writer would write it the same way.
bool canonicalHead(ByteView file, size_t offset, const SectionRecord& s, int32_t position) {
    const ByteView head = file.subspan(offset + 8, kSectionHeadSize);
    const uint32_t flag = head[40] | head[41] << 8 | head[42] << 16 | uint32_t(head[43]) << 24;
    const auto dataSum = foldChecksum(s.payload);
    const auto headSum = foldChecksum(head);
    return s.head.index == position && flag <= 1 &&
           std::equal(dataSum.begin(), dataSum.end(), s.head.dataChecksum.begin()) &&
           std::equal(headSum.begin(), headSum.end(), s.headChecksum.begin());
}

template <class Table>
void expectSameRecords(const Table& before, const Table& after, const char* what,
                       const fs::path& file) {
    EXPECT_EQ(before.size(), after.size()) << what << " " << file;
    EXPECT_TRUE(std::is_permutation(before.begin(), before.end(), after.begin(), after.end()))
        << what << " " << file;
}

void expectSameItems(const ProgramSection& before, const ProgramSection& after,
                     const fs::path& file) {
    expectSameRecords(before.assemblies, after.assemblies, "assemblies", file);
    expectSameRecords(before.subs, after.subs, "subs", file);
    // A global's stored offset follows its place in the list, which setting apart changes.
    const auto withoutOffsets = [](VariableList list) {
        for (VariableRecord& v : list)
            v.key.value = 0;
        return list;
    };
    expectSameRecords(withoutOffsets(before.globals), withoutOffsets(after.globals), "globals",
                      file);
    expectSameRecords(before.dataTypes, after.dataTypes, "data types", file);
    expectSameRecords(before.dllCommands, after.dllCommands, "DLL commands", file);
}

ProgramSection programOf(const SectionContainer& c) {
    for (const SectionRecord& s : c.sections) {
        if (s.head.hasKey(kProgramSectionKey))
            return readProgramSection(s.payload);
    }
    return {};
}

bool anythingSetApart(const ProgramSection& p) {
    return !p.assemblies.empty() || !p.subs.empty() || !p.globals.empty() || !p.dataTypes.empty() ||
           !p.dllCommands.empty();
}

TEST(corpus_test, every_real_file_saves_reloads_and_sorts_intact) {
    const std::vector<fs::path> files = corpusFiles();
    if (files.empty())
        GTEST_SKIP() << "no corpus at " RAMULET_SHARED_DIR "/corpus";
    int identical = 0, withSetApart = 0;
    for (const fs::path& path : files) {
        const ReadResult read = readSourceFile(path, {});
        ASSERT_EQ(read.error, "") << path;
        Loaded original = load(read.bytes);
        const ProgramSection programBefore = programOf(original.container);
        const SectionContainer input = original.container;
        Bytes saved = buildSavedFile(original.container, original.model);

        // Section by section: every payload but the program section's as read, and the heads
        // as stored unless a stored field was not what the writer writes.
        const SplitResult savedSplit = splitSections(saved);
        ASSERT_EQ(savedSplit.error, "") << path;
        ASSERT_EQ(savedSplit.container.sections.size(), input.sections.size()) << path;
        size_t offset = 8, savedOffset = 8;
        for (size_t i = 0; i < input.sections.size(); ++i) {
            const SectionRecord& a = input.sections[i];
            const SectionRecord& b = savedSplit.container.sections[i];
            const bool program = a.head.hasKey(kProgramSectionKey);
            if (!program) {
                EXPECT_EQ(a.payload, b.payload) << path << " section " << i + 1;
            }
            if (!program && canonicalHead(read.bytes, offset, a, static_cast<int32_t>(i + 1))) {
                EXPECT_TRUE(std::equal(read.bytes.begin() + offset,
                                       read.bytes.begin() + offset + 100,
                                       saved.begin() + savedOffset))
                    << path << " head of section " << i + 1;
            }
            offset += 100 + a.payload.size();
            savedOffset += 100 + b.payload.size();
        }

        // The program section differs only by the items set apart, moved to the end.
        const ProgramSection programAfter = programOf(savedSplit.container);
        expectSameItems(programBefore, programAfter, path);
        const bool setApart = anythingSetApart(original.model.setApartProgram());
        withSetApart += setApart ? 1 : 0;
        if (!setApart) {
            EXPECT_EQ(saved, read.bytes) << path << " is not byte-identical";
            identical += saved == read.bytes ? 1 : 0;
        }

        // Reloading gives the same tree; saving the saved file gives the same bytes.
        Loaded reloaded = load(saved);
        EXPECT_EQ(reloaded.tree.root, original.tree.root) << path;
        EXPECT_EQ(buildSavedFile(reloaded.container, reloaded.model), saved) << path;

        // Sorted: the top-level items in exchange-sort order, every record intact.
        std::vector<AssemblyRecord> expectedOrder = original.model.workingProgram().assemblies;
        sortAssembliesByNameLength(expectedOrder);
        sortAssembliesByNameLength(original.model.workingProgram().assemblies);
        refreshProgramTree(original.model);
        const Bytes sorted = buildSavedFile(original.container, original.model);
        Loaded sortedLoad = load(sorted);
        EXPECT_EQ(sortedLoad.model.workingProgram().assemblies, expectedOrder) << path;
        expectSameItems(programBefore, programOf(sortedLoad.container), path);
    }
    std::printf("corpus: %zu files, %d byte-identical, %d with items set apart\n", files.size(),
                identical, withSetApart);
}

}  // namespace
}  // namespace ramulet
