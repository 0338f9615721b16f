// The in-memory form of a loaded source file: one member per understood section.
#pragma once

#include <array>

#include "container/container.h"
#include "model/program_section.h"
#include "model/resource_section.h"
#include "model/sections.h"

namespace ramulet {

struct ProjectModel {
    UserInfo userInfo;
    SystemInfo systemInfo;
    // [0] the working section, which the tree shows and moves reorder; [1] the items set apart,
    // shown nowhere and written after the working ones.
    std::array<ProgramSection, 2> programSections;
    std::array<ResourceSection, 2> resourceSections;
    ItemMarkTable itemMarks;
    ModuleReferenceTable moduleReferences;
    ExternalFileRecords externalFiles;

    ProgramSection& workingProgram() { return programSections[0]; }
    const ProgramSection& workingProgram() const { return programSections[0]; }
    ProgramSection& setApartProgram() { return programSections[1]; }
    const ProgramSection& setApartProgram() const { return programSections[1]; }
    ResourceSection& workingResources() { return resourceSections[0]; }
    const ResourceSection& workingResources() const { return resourceSections[0]; }

    // Every list holds one blank entry; texts empty, numbers 0.
    static ProjectModel initial();
};

// Empties the lists and reads every understood section of the container into the model, the
// section nearest the start of the file winning when a key repeats. Does not refresh the tree.
void loadProject(ProjectModel& model, const SectionContainer& container);

// Moves the flagged program items out of a copy of `working` into `setApart` and returns the
// new working section: assemblies marked 2 in the mark table, the subs of ids marked 2, and
// globals, data types and DLL commands flagged by their own bits. Items already in `setApart`
// stay there; newly found ones follow them, each table keeping the order it had.
ProgramSection setApartFlaggedItems(const ProgramSection& working, const ItemMarkTable& marks,
                                    ProgramSection& setApart);

// Both set-apart steps that precede every tree refresh: program items and constants.
void setApartForRefresh(ProjectModel& model);

// The new payload of the program section, from both program records.
Bytes writeProgramSection(const ProjectModel& model);

}  // namespace ramulet
