#include "container/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace ramulet {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const noexcept { std::fclose(f); }
};

std::filesystem::path temporaryBeside(const std::filesystem::path& target) {
    std::random_device seed;
    const auto suffix = std::to_string(seed() % 1000000);
    std::filesystem::path temp = target;
    temp += ".ramulet-" + suffix + ".tmp";
    return temp;
}

std::FILE* openForWriting(const std::filesystem::path& path) {
#ifdef _WIN32
    return _wfopen(path.c_str(), L"wbx");
#else
    return std::fopen(path.c_str(), "wbx");
#endif
}

bool flushToDisk(std::FILE* f) {
    if (std::fflush(f) != 0)
        return false;
#ifdef _WIN32
    return _commit(_fileno(f)) == 0;
#else
    return fsync(fileno(f)) == 0;
#endif
}

}  // namespace

std::string writeFileAtomically(const std::filesystem::path& target, ByteView bytes) {
    const std::filesystem::path temp = temporaryBeside(target);
    std::unique_ptr<std::FILE, FileCloser> file(openForWriting(temp));
    if (!file)
        return std::strerror(errno);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size() &&
                         flushToDisk(file.get());
    const int writeError = errno;
    const bool closed = std::fclose(file.release()) == 0;
    std::error_code ec;
    if (!written || !closed) {
        std::filesystem::remove(temp, ec);
        return std::strerror(written ? errno : writeError);
    }
    std::filesystem::rename(temp, target, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        return ec.message();
    }
    return {};
}

}  // namespace ramulet
