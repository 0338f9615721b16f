#include "container/source_file.h"

#include <algorithm>
#include <system_error>

#include "container/container.h"
#include "container/file_stream.h"
#include "container/protected_file.h"

namespace ramulet {

ReadResult readMagicAndRest(InputStream& stream, Bytes firstFour) {
    Bytes magic = std::move(firstFour);
    const Bytes more = stream.read(4);
    magic.insert(magic.end(), more.begin(), more.end());
    if (!std::equal(magic.begin(), magic.end(), kFileMagic.begin(), kFileMagic.end())) {
        return {{}, messages::kBadFileMagic};
    }
    const int64_t count = 8 + stream.length() - stream.tell();
    if (count <= 0)
        return {{}, messages::kBadLength};
    // A short read at the end of the file is accepted.
    Bytes rest = stream.read(count);
    magic.insert(magic.end(), rest.begin(), rest.end());
    return {std::move(magic), {}};
}

ReadResult readSourceFile(const std::filesystem::path& path, const PasswordPrompt& askPassword) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return {{}, messages::kNoSuchFile};
    auto stream = PlainFileStream::open(path);
    if (!stream)
        return {{}, messages::kFileLocked};
    Bytes firstFour = stream->read(4);
    if (std::equal(firstFour.begin(), firstFour.end(), kProtectedMagic.begin(),
                   kProtectedMagic.end())) {
        return readProtectedSourceFile(std::move(stream), path, askPassword);
    }
    return readMagicAndRest(*stream, std::move(firstFour));
}

}  // namespace ramulet
