// The small sections: item marks (0b), module references (0c), external files (10), and the
// user (01) and system (02) information.
#pragma once

#include <cstdint>
#include <vector>

#include "container/bytes.h"
#include "model/program_section.h"

namespace ramulet {

struct ItemMark {
    ObjectId id = 0;
    int32_t mark = 0;  // 2 sets the item apart

    bool operator==(const ItemMark&) const = default;
};

using ItemMarkTable = std::vector<ItemMark>;

ItemMarkTable readItemMarkTable(ByteView payload);

struct NumberPair {
    int32_t first = 0;
    int32_t second = 0;

    bool operator==(const NumberPair&) const = default;
};

struct ModuleReference {
    int32_t word1 = 0;
    int32_t word2 = 0;
    int32_t word3 = 0;
    int32_t word4 = 0;
    bool truthValue = false;
    Text name;
    Text path;
    std::vector<NumberPair> numberPairs;

    bool operator==(const ModuleReference&) const = default;
};

using ModuleReferenceTable = std::vector<ModuleReference>;

ModuleReferenceTable readModuleReferenceTable(ByteView payload);

struct ExternalFileRecords {
    std::vector<Text> entries;
    Bytes middleBytes;
    Text closingText;

    bool operator==(const ExternalFileRecords&) const = default;
};

ExternalFileRecords readExternalFileRecords(ByteView payload);

struct UserInfo {
    Text programName;
    Text description;
    Text remark;
    Text author;
    Text postalCode;
    Text address;
    Text phone;
    Text fax;
    Text email;
    Text homepage;
    Text legalNotice;
    std::array<int32_t, 2> versionHigh{};
    std::array<int32_t, 2> versionLow{};
    bool writeVersionInfo = false;  // the stored value negated
    Text compilePluginName;
    bool allowPublicClassMethods = false;
    Bytes reserved;

    bool operator==(const UserInfo&) const = default;
};

struct SystemInfo {
    std::array<int16_t, 2> formatVersion{};
    int32_t extraNumber1 = 0;
    int32_t language = 0;
    std::array<int16_t, 2> projectVersion{};
    int32_t fileType = 0;
    int32_t extraNumber2 = 0;
    int32_t programType = 0;
    Bytes reserved;

    bool operator==(const SystemInfo&) const = default;
};

UserInfo readUserInfo(ByteView payload);
SystemInfo readSystemInfo(ByteView payload);

// GBK texts, each line ended by "\r\n": 7 lines of system information, 15 of user information.
Text renderSystemInfo(const SystemInfo& info);
Text renderUserInfo(const UserInfo& info);
Text programTypeName(int32_t programType);

}  // namespace ramulet
