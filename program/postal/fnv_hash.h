// FNV-1a, 64 bits: the hash of the engine's small tables and file names. Start from kFnvOffset
// and feed each byte through FnvStep.
#pragma once

#include <cstdint>

namespace tovra {

constexpr std::uint64_t kFnvOffset = 14695981039346656037ull;
constexpr std::uint64_t FnvStep(std::uint64_t h, unsigned char byte) { return (h ^ byte) * 1099511628211ull; }

}  // namespace tovra
