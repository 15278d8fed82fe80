// The heap of the blocks the library hands to its callers (MEKLAN_GetAddressAreaList) and
// takes back (MEKLAN_MemFree). A caller may run on another C runtime with a heap of its own,
// so a block must go back to the heap it came from, which only the library knows.
#pragma once

#include <cstddef>

namespace meklan {

// A block of `bytes` bytes, or nullptr when memory runs out.
void* AllocateCallerBlock(std::size_t bytes);
// Returns a block of AllocateCallerBlock; nullptr does nothing.
void ReleaseCallerBlock(void* block);

}  // namespace meklan
