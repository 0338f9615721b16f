// Load + refresh + save of a large synthetic project and of the largest real file, each beside
// a memcpy of the same bytes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "fixtures/fixture_builder.h"
#include "fixtures/sample_project.h"
#include "model/project_file.h"
#include "tree/tree_builder.h"

namespace ramulet {
namespace {

// Thousands of assemblies, tens of thousands of subs, tens of MB of pictures.
Bytes largeSyntheticProject() {
    ProjectModel m = sampleProjectModel();
    ProgramSection& p = m.workingProgram();
    const AssemblyRecord assemblyTemplate = p.assemblies[1];
    const SubRecord subTemplate = p.subs[1];
    p.assemblies.clear();
    p.subs.clear();
    for (uint32_t a = 0; a < 3000; ++a) {
        AssemblyRecord assembly = assemblyTemplate;
        assembly.key.id = 0x09000000u | a;
        assembly.name = "assembly_" + std::to_string(a * 7919 % 3000);
        p.assemblies.push_back(assembly);
        for (uint32_t s = 0; s < 10; ++s) {
            SubRecord sub = subTemplate;
            sub.key.id = 0x04000000u | (a * 10 + s);
            sub.ownerId = assembly.key.id;
            sub.name = "sub_" + std::to_string(s);
            sub.blocks[0] = Bytes(200, 0x90);
            p.subs.push_back(sub);
        }
    }
    ResourceSection& r = m.workingResources();
    for (uint32_t i = 0; i < 300; ++i) {
        ConstantRecord picture;
        picture.key.id = 0x28000000u | i;
        picture.name = "picture_" + std::to_string(i);
        picture.data = Bytes(100 * 1024, static_cast<uint8_t>(i));
        r.constants.push_back(picture);
    }
    return buildFixtureFile({
        {kUserInfoKey, "user", writeUserInfoPayload(m.userInfo)},
        {kSystemInfoKey, "system", writeSystemInfoPayload(m.systemInfo)},
        {kProgramSectionKey, "program", writeProgramSection(p, {})},
        {kResourceSectionKey, "resources", writeResourceSectionPayload(r)},
        {kItemMarkKey, "marks", writeItemMarkPayload(m.itemMarks)},
    });
}

Bytes largestRealFile() {
    const std::filesystem::path dir = RAMULET_SHARED_DIR "/corpus";
    std::error_code ec;
    std::filesystem::path largest;
    uintmax_t size = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
        if (entry.is_regular_file() && entry.file_size() > size) {
            size = entry.file_size();
            largest = entry.path();
        }
    }
    if (largest.empty())
        return {};
    std::ifstream in(largest, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void loadRefreshSave(benchmark::State& state, const Bytes& file) {
    if (file.empty()) {
        state.SkipWithError("no input file");
        return;
    }
    for (auto _ : state) {
        SplitResult split = splitSections(file);
        ProjectModel model = ProjectModel::initial();
        loadProject(model, split.container);
        ProgramTreeContent tree = refreshProgramTree(model);
        Bytes saved = buildSavedFile(split.container, model);
        benchmark::DoNotOptimize(tree);
        benchmark::DoNotOptimize(saved);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
}

void copyBytes(benchmark::State& state, const Bytes& file) {
    Bytes copy(file.size());
    for (auto _ : state) {
        std::memcpy(copy.data(), file.data(), file.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
}

const Bytes& synthetic() {
    static const Bytes bytes = largeSyntheticProject();
    return bytes;
}

const Bytes& real() {
    static const Bytes bytes = largestRealFile();
    return bytes;
}

void BM_SyntheticLoadRefreshSave(benchmark::State& s) {
    loadRefreshSave(s, synthetic());
}
void BM_SyntheticMemcpy(benchmark::State& s) {
    copyBytes(s, synthetic());
}
void BM_LargestRealLoadRefreshSave(benchmark::State& s) {
    loadRefreshSave(s, real());
}
void BM_LargestRealMemcpy(benchmark::State& s) {
    copyBytes(s, real());
}

BENCHMARK(BM_SyntheticLoadRefreshSave)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SyntheticMemcpy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargestRealLoadRefreshSave)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargestRealMemcpy)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ramulet

BENCHMARK_MAIN();
