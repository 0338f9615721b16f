#include "container/deciphering_stream.h"

#include <algorithm>

namespace ramulet {

std::unique_ptr<DecipheringFileStream> DecipheringFileStream::open(
    const std::filesystem::path& path, std::string_view password, int64_t plainLeadingBytes) {
    return open(path, cipherForPassword(password), plainLeadingBytes);
}

std::unique_ptr<DecipheringFileStream> DecipheringFileStream::open(
    const std::filesystem::path& path, std::unique_ptr<StreamCipher> cipher,
    int64_t plainLeadingBytes) {
    if (!cipher)
        return nullptr;
    auto file = PlainFileStream::open(path);
    if (!file)
        return nullptr;
    return std::make_unique<DecipheringFileStream>(std::move(file), std::move(cipher),
                                                   plainLeadingBytes);
}

DecipheringFileStream::DecipheringFileStream(std::unique_ptr<PlainFileStream> file,
                                             std::unique_ptr<StreamCipher> cipher,
                                             int64_t plainLeadingBytes)
    : file_(std::move(file)),
      cipher_(std::move(cipher)),
      plainLeadingBytes_(std::max<int64_t>(plainLeadingBytes, 0)) {}

bool DecipheringFileStream::seek(int64_t offset) {
    return file_ && file_->seek(offset);
}

Bytes DecipheringFileStream::read(int64_t n) {
    if (!file_)
        return {};
    const int64_t start = file_->tell();
    Bytes bytes = file_->read(n);
    // Bytes before the plain leading count stay as stored; the rest is deciphered.
    const int64_t end = start + static_cast<int64_t>(bytes.size());
    if (end > plainLeadingBytes_) {
        const int64_t from = std::max(start, plainLeadingBytes_);
        const auto skip = static_cast<size_t>(from - start);
        cipher_->apply(static_cast<uint64_t>(from - plainLeadingBytes_),
                       std::span(bytes).subspan(skip));
    }
    return bytes;
}

void DecipheringFileStream::close() {
    file_.reset();
    cipher_.reset();
}

}  // namespace ramulet
