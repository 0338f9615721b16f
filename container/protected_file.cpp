#include "container/protected_file.h"

#include "container/container.h"

namespace ramulet {

ReadResult readProtectedSourceFile(std::unique_ptr<PlainFileStream>, const std::filesystem::path&,
                                   const PasswordPrompt&) {
    return {{}, messages::kBadFileMagic};
}

}  // namespace ramulet
