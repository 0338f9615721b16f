// Fuzz target: any byte string taken through everything a dropped file goes through: split,
// load, refresh, save, and a second load and save of the saved bytes, which must reproduce
// themselves.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "model/project_file.h"
#include "tree/tree_builder.h"

namespace {

ramulet::Bytes loadAndSave(ramulet::ByteView bytes, bool& ok) {
    ramulet::SplitResult split = ramulet::splitSections(bytes);
    ok = split.error.empty();
    if (!ok)
        return {};
    ramulet::ProjectModel model = ramulet::ProjectModel::initial();
    ramulet::loadProject(model, split.container);
    ramulet::refreshProgramTree(model);
    ramulet::refreshProgramTree(model);
    return ramulet::buildSavedFile(split.container, model);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    bool ok = false;
    const ramulet::Bytes saved = loadAndSave({data, size}, ok);
    if (!ok)
        return 0;
    // A saved file loads again, and saving it once more gives the same bytes.
    bool reloaded = false;
    const ramulet::Bytes again = loadAndSave(saved, reloaded);
    if (!reloaded)
        std::abort();
    bool third = false;
    if (loadAndSave(again, third) != again)
        std::abort();
    return 0;
}
