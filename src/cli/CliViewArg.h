#pragma once
// The --view argument of the commands that work on one view: a view name ("Left", "Top",
// "Right", "Bottom", "Front", "Back", "Perspective") in any case, or its code 0 to 6.

#include <cstdint>
#include <string>

namespace ov::cli {

// False for anything else (other numbers, "6.0", " 1", an empty text).
bool ParseViewArg(const std::string& text, std::int32_t& viewType);

// The message for a value ParseViewArg refused, without a line end.
std::string ViewArgError(const std::string& text);

} // namespace ov::cli
