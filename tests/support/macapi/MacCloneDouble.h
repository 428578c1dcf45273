#pragma once

// What the double of clonefile(2) was asked.

#include <cstdint>
#include <vector>

namespace Vantrel::MacApiDouble {

// The flags of every clonefile() call since the last clearCloneFlags(), in order.
std::vector<std::uint32_t> cloneFlags();
void clearCloneFlags();

} // namespace Vantrel::MacApiDouble
