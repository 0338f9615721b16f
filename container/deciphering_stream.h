// A protected file opened for reading: the same operations as a plain file stream, with every
// byte at or after the plain leading bytes deciphered as it is read.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>

#include "container/file_stream.h"
#include "container/stream_cipher.h"

namespace ramulet {

class DecipheringFileStream final : public InputStream {
  public:
    // Opens the file for reading with writing by others denied. The first plainLeadingBytes
    // bytes are read as stored; file byte plainLeadingBytes + k is deciphered with keystream
    // byte k. nullptr when the file cannot be opened.
    static std::unique_ptr<DecipheringFileStream> open(const std::filesystem::path& path,
                                                       std::string_view password,
                                                       int64_t plainLeadingBytes);
    static std::unique_ptr<DecipheringFileStream> open(const std::filesystem::path& path,
                                                       std::unique_ptr<StreamCipher> cipher,
                                                       int64_t plainLeadingBytes);

    DecipheringFileStream(std::unique_ptr<PlainFileStream> file,
                          std::unique_ptr<StreamCipher> cipher, int64_t plainLeadingBytes);

    bool seek(int64_t offset) override;
    Bytes read(int64_t n) override;
    int64_t tell() const override { return file_ ? file_->tell() : 0; }
    int64_t length() const override { return file_ ? file_->length() : 0; }
    // Closes the file and drops the key; afterwards reads yield nothing and seeks fail.
    void close();

  private:
    std::unique_ptr<PlainFileStream> file_;
    std::unique_ptr<StreamCipher> cipher_;
    int64_t plainLeadingBytes_;
};

}  // namespace ramulet
