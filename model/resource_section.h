// The resource section (key 19 73 00 04): windows and the constant table, whose entries are
// constants, pictures or picture groups, and sounds. The tool only shows them; the payload is
// always written back as read.
#pragma once

#include <cstdint>
#include <vector>

#include "container/bytes.h"
#include "model/program_section.h"

namespace ramulet {

// Bits 28..31 of a constant-table id.
enum class ResourceClass : uint32_t { Constant = 1, Picture = 2, Sound = 3 };

constexpr uint32_t resourceClassOf(ObjectId id) {
    return (id & 0xF0000000u) >> 28;
}

inline constexpr int16_t kSetApartFlag = 0x0004;

struct WindowRecord {
    IdEntry key;
    int32_t word1 = 0;
    int32_t word2 = 0;
    Text name;
    Text note;
    int32_t word3 = 0;
    Bytes contentBytes;

    bool operator==(const WindowRecord&) const = default;
};

struct ConstantRecord {
    IdEntry key;
    int16_t flags = 0;  // kSetApartFlag hides the entry
    Text name;
    Text note;
    uint8_t valueType = 0;  // constants only
    Bytes data;

    bool operator==(const ConstantRecord&) const = default;
};

struct ResourceSection {
    std::vector<WindowRecord> windows;
    std::vector<ConstantRecord> constants;
    Bytes trailing;

    bool operator==(const ResourceSection&) const = default;
};

// One blank window and one blank constant, as an empty payload reads.
ResourceSection blankResourceSection();

ResourceSection readResourceSection(ByteView payload);

// Moves every flagged constant from a copy of the working record into setApart (emptied first),
// keeping file order in both; returns the new working record.
ResourceSection setApartFlaggedConstants(const ResourceSection& working, ResourceSection& setApart);

}  // namespace ramulet
