// Opening and saving a source file as a whole: the steps shared by the window program and the
// command-line companion.
#pragma once

#include <filesystem>

#include "container/container.h"
#include "container/source_file.h"
#include "model/project_model.h"

namespace ramulet {

struct OpenedFile {
    SectionContainer container;  // complete only when error is empty
    Text error;                  // GBK message text; empty on success
};

// Reads the file (asking for a password if it is protected) and cuts it into sections.
OpenedFile readAndSplit(const std::filesystem::path& path, const PasswordPrompt& askPassword);

// The bytes of the saved file: the program section written anew from the model, every other
// section as it was read, every head recomputed. The result is always a plain source file.
Bytes buildSavedFile(SectionContainer& container, const ProjectModel& model);

}  // namespace ramulet
