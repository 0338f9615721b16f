// The container format of an Easy Language source file.
//
// A plain source file is the 8-byte magic "CNWTEPRG" followed by sections until the end of the
// file; there is no section count, end marker or padding. Each section is
//
//   offset  size  field
//        0     4  section magic 19 73 11 15
//        4     4  head checksum: foldChecksum of the 92 head bytes at offsets 8..99
//        8     4  key 19 73 00 NN, which names the section's parser
//       12    30  name, scrambled with the key, zero padded
//       42     2  reserved
//       44     4  index: the section's 1-based position in the file
//       48     4  flag (boolean)
//       52     4  data checksum: foldChecksum of the payload
//       56     4  data length
//       60    40  reserved
//      100     n  payload
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "container/byte_reader.h"
#include "container/bytes.h"

namespace ramulet {

inline constexpr std::array<uint8_t, 8> kFileMagic = {'C', 'N', 'W', 'T', 'E', 'P', 'R', 'G'};
inline constexpr std::array<uint8_t, 4> kSectionMagic = {0x19, 0x73, 0x11, 0x15};
inline constexpr int kSectionHeadSize = 92;
inline constexpr int kSectionNameSize = 30;

// Key 19 73 00 NN. NN names the parser of the section's payload.
using SectionKey = std::array<uint8_t, 4>;

constexpr SectionKey sectionKey(uint8_t nn) {
    return {0x19, 0x73, 0x00, nn};
}

inline constexpr SectionKey kUserInfoKey = sectionKey(0x01);
inline constexpr SectionKey kSystemInfoKey = sectionKey(0x02);
inline constexpr SectionKey kProgramSectionKey = sectionKey(0x03);
inline constexpr SectionKey kResourceSectionKey = sectionKey(0x04);
inline constexpr SectionKey kItemMarkKey = sectionKey(0x0b);
inline constexpr SectionKey kModuleReferenceKey = sectionKey(0x0c);
inline constexpr SectionKey kExternalFileKey = sectionKey(0x10);

// The 92 bytes from offset 8 to 99 of a section.
struct SectionHead {
    Bytes key;        // 4 bytes as stored (fewer only when the file ends inside the head)
    Bytes name;       // 30 bytes, still scrambled
    Bytes reserved1;  // 2 bytes
    int32_t index = 0;
    bool flag = false;
    Bytes dataChecksum;  // 4 bytes
    int32_t dataLength = 0;
    Bytes reserved2;  // 40 bytes

    bool operator==(const SectionHead&) const = default;

    bool hasKey(const SectionKey& k) const {
        return key.size() == 4 && std::equal(k.begin(), k.end(), key.begin());
    }
};

struct SectionRecord {
    Bytes magic;         // 4 bytes
    Bytes headChecksum;  // 4 bytes
    SectionHead head;
    Bytes payload;
};

struct SectionContainer {
    Bytes fileMagic;
    std::vector<SectionRecord> sections;
};

struct SplitResult {
    SectionContainer container;
    std::string error;  // GBK message text; empty on success
};

// XOR fold of the input into 4 bytes: byte i goes into checksum byte i mod 4.
std::array<uint8_t, 4> foldChecksum(ByteView data);

// Section names are scrambled by XOR with the key, shifted by one; the operation is its own
// inverse. A name of 30 zero bytes stays zero.
Bytes unscrambleName(ByteView name, ByteView key);

// The name as text: the unscrambled bytes up to the first zero byte.
Text sectionNameText(const SectionHead& head);

SectionRecord readSection(ByteReader& reader);

// Cuts a whole plain source file into its sections. Always returns a container; on failure it
// holds the sections read before the fault.
SplitResult splitSections(ByteView fileBytes);

// The bytes of one section at its 1-based position, with index, length and both checksums
// computed afresh. Updates those fields in the record.
Bytes writeSection(SectionRecord& section, int32_t position);

// Rebuilds the whole file: every section keyed 19 73 00 03 gets programPayload, every other
// section keeps its payload, and every head is recomputed.
Bytes buildSourceFile(SectionContainer& container, const Bytes& programPayload);

// Message texts of the reading side, as GBK.
namespace messages {
extern const Text kNoSuchFile;
extern const Text kFileLocked;
extern const Text kBadFileMagic;
extern const Text kBadLength;
extern const Text kNoData;
extern const Text kBadContainerMagic;
extern const Text kBadSectionMagic;
}  // namespace messages

}  // namespace ramulet
