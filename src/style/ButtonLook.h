#pragma once
// How a style describes itself on a dialog button: the caption and the background.

#include <cstdint>
#include <string>

namespace ov {

// System colours a button may take instead of a style's own colour.
enum class SystemColor { None, ButtonFace, GrayText };

struct ButtonLook {
    std::string Text;
    std::int32_t RGBColor = 0;             // used when System is None
    SystemColor System = SystemColor::None;
    bool Enabled = true;
    bool HasBackground = true;             // false: the button keeps its own background
};

} // namespace ov
