#pragma once
// How many segments a stored flatness asks for. The stored value itself is kept as read,
// so that loading and saving a project never changes it; only the work of flattening is
// bounded here.

#include <algorithm>
#include <cstdint>
#include <limits>

namespace ov {

// Beyond this many segments an outline only costs time and memory.
constexpr std::int32_t kMaxFlatSegments = 100000;

// The whole 32-bit range: every flatness a file can hold reads back unchanged.
constexpr std::int32_t kFlatnessMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kFlatnessMax = std::numeric_limits<std::int32_t>::max();

// Segments for a flatness: values below 4 mean the shape's default.
inline int FlatSegments(std::int32_t flatness, int defaultSegments) {
    return flatness < 4 ? defaultSegments : std::min(flatness, kMaxFlatSegments);
}

} // namespace ov
