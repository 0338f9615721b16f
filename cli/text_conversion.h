// GBK texts of the core to and from the terminal's UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "container/bytes.h"

namespace ramulet {

// Bytes that are not valid GBK come out as U+FFFD, one per byte.
std::string gbkToUtf8(std::string_view gbk);

// nullopt when the text holds a character that GBK cannot encode.
std::optional<Text> utf8ToGbk(std::string_view utf8);

}  // namespace ramulet
