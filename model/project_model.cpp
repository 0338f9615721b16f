#include "model/project_model.h"

namespace ramulet {

ProjectModel ProjectModel::initial() {
    // Every list starts with one blank entry: exactly what each reader gives for an empty
    // payload.
    ProjectModel model;
    model.programSections = {blankProgramSection(), blankProgramSection()};
    model.resourceSections = {blankResourceSection(), blankResourceSection()};
    model.itemMarks = readItemMarkTable({});
    model.moduleReferences = readModuleReferenceTable({});
    model.externalFiles = readExternalFileRecords({});
    return model;
}

namespace {

void emptyLists(ProjectModel& model) {
    for (ProgramSection& section : model.programSections)
        clearItemTables(section);
    for (ResourceSection& resources : model.resourceSections) {
        resources.windows.clear();
        resources.constants.clear();
    }
    model.itemMarks.clear();
    model.moduleReferences.clear();
    model.externalFiles.entries.clear();
}

void installSection(ProjectModel& model, const SectionHead& head, ByteView payload) {
    if (head.hasKey(kUserInfoKey)) {
        model.userInfo = readUserInfo(payload);
    } else if (head.hasKey(kSystemInfoKey)) {
        model.systemInfo = readSystemInfo(payload);
    } else if (head.hasKey(kProgramSectionKey)) {
        model.workingProgram() = readProgramSection(payload);
    } else if (head.hasKey(kResourceSectionKey)) {
        model.workingResources() = readResourceSection(payload);
    } else if (head.hasKey(kItemMarkKey)) {
        model.itemMarks = readItemMarkTable(payload);
    } else if (head.hasKey(kModuleReferenceKey)) {
        model.moduleReferences = readModuleReferenceTable(payload);
    } else if (head.hasKey(kExternalFileKey)) {
        model.externalFiles = readExternalFileRecords(payload);
    }
    // Every other key is carried through the container untouched.
}

}  // namespace

void loadProject(ProjectModel& model, const SectionContainer& container) {
    emptyLists(model);
    // Backwards, so that of two sections with one key the one nearer the start wins.
    for (auto it = container.sections.rbegin(); it != container.sections.rend(); ++it) {
        if (sectionNameText(it->head).empty())
            continue;
        installSection(model, it->head, it->payload);
    }
}

Bytes writeProgramSection(const ProjectModel& model) {
    return writeProgramSection(model.workingProgram(), model.setApartProgram());
}

}  // namespace ramulet
