// The status sink every status message of the program goes through. It takes the message
// without the "Tip：" prefix, as a GBK text; the main window shows it behind that prefix.
#pragma once

#include <functional>

#include "container/bytes.h"

namespace ramulet {

using StatusTip = std::function<void(const Text& message)>;

}  // namespace ramulet
