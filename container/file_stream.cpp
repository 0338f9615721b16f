#include "container/file_stream.h"

#include <algorithm>
#include <system_error>

#ifdef _WIN32
#include <share.h>
#endif

namespace ramulet {

namespace {

std::FILE* openDenyWrite(const std::filesystem::path& path) {
#ifdef _WIN32
    // Others may read the file while we do, but not change it under us.
    return _wfsopen(path.c_str(), L"rb", _SH_DENYWR);
#else
    return std::fopen(path.c_str(), "rb");
#endif
}

bool seekTo(std::FILE* f, int64_t offset) {
#ifdef _WIN32
    return _fseeki64(f, offset, SEEK_SET) == 0;
#else
    return fseeko(f, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

}  // namespace

std::unique_ptr<PlainFileStream> PlainFileStream::open(const std::filesystem::path& path) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec)
        return nullptr;
    FileHandle f(openDenyWrite(path));
    if (!f)
        return nullptr;
    return std::make_unique<PlainFileStream>(std::move(f), static_cast<int64_t>(size));
}

bool PlainFileStream::seek(int64_t offset) {
    if (offset < 0 || !seekTo(file_.get(), offset))
        return false;
    position_ = offset;
    return true;
}

Bytes PlainFileStream::read(int64_t n) {
    if (n <= 0 || position_ >= length_)
        return {};
    n = std::min(n, length_ - position_);
    Bytes out(static_cast<size_t>(n));
    const size_t got = std::fread(out.data(), 1, out.size(), file_.get());
    out.resize(got);
    position_ += static_cast<int64_t>(got);
    return out;
}

}  // namespace ramulet
