#include "container/container.h"

#include <algorithm>

#include "container/byte_writer.h"

namespace ramulet {

namespace messages {
// 文件路径错误或文件不存在
const Text kNoSuchFile =
    "\xce\xc4\xbc\xfe\xc2\xb7\xbe\xb6\xb4\xed\xce\xf3\xbb\xf2\xce\xc4\xbc\xfe\xb2\xbb\xb4\xe6\xd4"
    "\xda";
// 打开文件失败，请检查文件是否被占用
const Text kFileLocked =
    "\xb4\xf2\xbf\xaa\xce\xc4\xbc\xfe\xca\xa7\xb0\xdc\xa3\xac\xc7\xeb\xbc\xec\xb2\xe9\xce\xc4\xbc"
    "\xfe\xca\xc7\xb7\xf1\xb1\xbb\xd5\xbc\xd3\xc3";
// 分析文件失败，文件标志头不正确
const Text kBadFileMagic =
    "\xb7\xd6\xce\xf6\xce\xc4\xbc\xfe\xca\xa7\xb0\xdc\xa3\xac\xce\xc4\xbc\xfe\xb1\xea\xd6\xbe\xcd"
    "\xb7\xb2\xbb\xd5\xfd\xc8\xb7";
// 读入文件失败，欲读入的数据文件长度有误
const Text kBadLength =
    "\xb6\xc1\xc8\xeb\xce\xc4\xbc\xfe\xca\xa7\xb0\xdc\xa3\xac\xd3\xfb\xb6\xc1\xc8\xeb\xb5\xc4\xca"
    "\xfd\xbe\xdd\xce\xc4\xbc\xfe\xb3\xa4\xb6\xc8\xd3\xd0\xce\xf3";
// 载入文件数据失败
const Text kNoData = "\xd4\xd8\xc8\xeb\xce\xc4\xbc\xfe\xca\xfd\xbe\xdd\xca\xa7\xb0\xdc";
// 文件头部标志不正确
const Text kBadContainerMagic =
    "\xce\xc4\xbc\xfe\xcd\xb7\xb2\xbf\xb1\xea\xd6\xbe\xb2\xbb\xd5\xfd\xc8\xb7";
// 字段头部标志不正确
const Text kBadSectionMagic =
    "\xd7\xd6\xb6\xce\xcd\xb7\xb2\xbf\xb1\xea\xd6\xbe\xb2\xbb\xd5\xfd\xc8\xb7";
}  // namespace messages

std::array<uint8_t, 4> foldChecksum(ByteView data) {
    std::array<uint8_t, 4> sum{};
    for (size_t i = 0; i < data.size(); ++i)
        sum[i % 4] ^= data[i];
    return sum;
}

Bytes unscrambleName(ByteView name, ByteView key) {
    Bytes out(kSectionNameSize, 0);
    if (std::all_of(name.begin(), name.end(), [](uint8_t b) { return b == 0; }))
        return out;
    const size_t k = key.size();
    const size_t n = std::min<size_t>(name.size(), kSectionNameSize);
    for (size_t j = 0; j < n; ++j)
        out[j] = k == 0 ? name[j] : name[j] ^ key[(j + 1) % k];
    return out;
}

Text sectionNameText(const SectionHead& head) {
    return textUpToZero(unscrambleName(head.name, head.key));
}

SectionRecord readSection(ByteReader& reader) {
    SectionRecord section;
    section.magic = reader.readBytes(4);
    if (!std::equal(section.magic.begin(), section.magic.end(), kSectionMagic.begin(),
                    kSectionMagic.end())) {
        return section;
    }
    SectionHead& head = section.head;
    section.headChecksum = reader.readBytes(4);
    head.key = reader.readBytes(4);
    head.name = reader.readBytes(kSectionNameSize);
    head.reserved1 = reader.readBytes(2);
    head.index = reader.readInt();
    head.flag = reader.readBool();
    head.dataChecksum = reader.readBytes(4);
    head.dataLength = reader.readInt();
    head.reserved2 = reader.readBytes(40);
    section.payload = reader.readBytes(head.dataLength);
    return section;
}

SplitResult splitSections(ByteView fileBytes) {
    SplitResult result;
    ByteReader reader;
    if (!reader.load(fileBytes)) {
        result.error = messages::kNoData;
        return result;
    }
    result.container.fileMagic = reader.readBytes(8);
    if (!std::equal(result.container.fileMagic.begin(), result.container.fileMagic.end(),
                    kFileMagic.begin(), kFileMagic.end())) {
        result.error = messages::kBadContainerMagic;
        return result;
    }
    while (reader.remaining() > 0) {
        const bool room = reader.remaining() >= 4;
        SectionRecord section = readSection(reader);
        if (!room || !std::equal(section.magic.begin(), section.magic.end(), kSectionMagic.begin(),
                                 kSectionMagic.end())) {
            result.error = messages::kBadSectionMagic;
            break;
        }
        result.container.sections.push_back(std::move(section));
    }
    return result;
}

Bytes writeSection(SectionRecord& section, int32_t position) {
    SectionHead& head = section.head;
    head.index = position;
    head.dataLength = static_cast<int32_t>(section.payload.size());
    const auto dataSum = foldChecksum(section.payload);
    head.dataChecksum.assign(dataSum.begin(), dataSum.end());

    // Stored fields go back at their own size; a head cut short by the end of the file is
    // padded with zero bytes so that every written head is complete.
    ByteWriter h;
    h.fixedBytes(head.key, 4);
    h.fixedBytes(head.name, kSectionNameSize);
    h.fixedBytes(head.reserved1, 2);
    h.i32(head.index);
    h.i32(head.flag ? 1 : 0);
    h.bytes(head.dataChecksum);
    h.i32(head.dataLength);
    h.fixedBytes(head.reserved2, 40);
    const auto headSum = foldChecksum(h.data());
    section.headChecksum.assign(headSum.begin(), headSum.end());

    ByteWriter out;
    out.fixedBytes(section.magic, 4);
    out.bytes(section.headChecksum);
    out.bytes(h.data());
    out.bytes(section.payload);
    return out.take();
}

Bytes buildSourceFile(SectionContainer& container, const Bytes& programPayload) {
    for (auto it = container.sections.rbegin(); it != container.sections.rend(); ++it) {
        if (it->head.hasKey(kProgramSectionKey))
            it->payload = programPayload;
    }
    ByteWriter out;
    out.bytes(container.fileMagic);
    int32_t position = 1;
    for (SectionRecord& section : container.sections)
        out.bytes(writeSection(section, position++));
    return out.take();
}

}  // namespace ramulet
