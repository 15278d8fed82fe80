// On systems with one C runtime per process the library's heap is the C heap.
#include "lookup/library_heap.h"

#include <cstdlib>

namespace meklan {

void* AllocateCallerBlock(std::size_t bytes) { return std::malloc(bytes); }

void ReleaseCallerBlock(void* block) { std::free(block); }

}  // namespace meklan
