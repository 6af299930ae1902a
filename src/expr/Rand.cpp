#include "expr/Rand.h"

#include <cfloat>
#include <cstdint>
#include <cstring>

namespace ov {

namespace {

constexpr std::uint32_t kMask = 0xFFFFFF;

struct RandomState {
    std::uint32_t seed = 0x50000;
    float last = 0;
};

RandomState& State() {
    static RandomState state;
    return state;
}

float Advance(RandomState& s) {
    s.seed = (s.seed * 1140671485u + 12820163u) & kMask;
    s.last = static_cast<float>(s.seed) / 16777216.0f; // exactly representable: always < 1
    return s.last;
}

} // namespace

double NextRandom(bool hasArgument, double r) {
    RandomState& s = State();
    if (hasArgument && r == 0) return s.last;
    if (hasArgument && r < 0) {
        const float f = static_cast<float>(r < -FLT_MAX ? -FLT_MAX : r);
        std::uint32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        s.seed = (bits + (bits >> 24)) & kMask;
    }
    return Advance(s);
}

} // namespace ov
