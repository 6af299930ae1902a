#pragma once
// The keys and buttons the tools understand, as the view ports pass them on.

namespace ov {

// Key codes of the keys the view ports pass to the tools, and the bits of the shift state.
namespace keys {
constexpr int Escape = 27, Space = 32, Left = 37, Up = 38, Right = 39, Down = 40, Delete = 46;
constexpr int ShiftBit = 1, CtrlBit = 2, AltBit = 4;
} // namespace keys

// Mouse buttons.
namespace buttons {
constexpr int Left = 1, Right = 2, Middle = 4;
} // namespace buttons

} // namespace ov
