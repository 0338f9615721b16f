#include "model/project_file.h"

namespace ramulet {

OpenedFile readAndSplit(const std::filesystem::path& path, const PasswordPrompt& askPassword) {
    ReadResult read = readSourceFile(path, askPassword);
    if (!read.error.empty())
        return {{}, std::move(read.error)};
    SplitResult split = splitSections(read.bytes);
    return {std::move(split.container), std::move(split.error)};
}

Bytes buildSavedFile(SectionContainer& container, const ProjectModel& model) {
    return buildSourceFile(container, writeProgramSection(model));
}

}  // namespace ramulet
