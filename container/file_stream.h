// A file opened for reading with writing by others denied: the plain counterpart of the
// deciphering stream, with the same operations.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "container/bytes.h"

namespace ramulet {

class InputStream {
  public:
    virtual ~InputStream() = default;
    virtual bool seek(int64_t offset) = 0;
    // Reads up to n bytes; fewer at the end of the file.
    virtual Bytes read(int64_t n) = 0;
    virtual int64_t tell() const = 0;
    virtual int64_t length() const = 0;
};

class PlainFileStream final : public InputStream {
  public:
    // nullptr when the file cannot be opened (missing, or someone else is writing it).
    static std::unique_ptr<PlainFileStream> open(const std::filesystem::path& path);

    bool seek(int64_t offset) override;
    Bytes read(int64_t n) override;
    int64_t tell() const override { return position_; }
    int64_t length() const override { return length_; }

    struct Closer {
        void operator()(std::FILE* f) const noexcept { std::fclose(f); }
    };
    using FileHandle = std::unique_ptr<std::FILE, Closer>;
    PlainFileStream(FileHandle file, int64_t length) : file_(std::move(file)), length_(length) {}

  private:
    FileHandle file_;
    int64_t length_ = 0;
    int64_t position_ = 0;
};

}  // namespace ramulet
