#include "io/ParseReport.h"

namespace ov {

std::string GroupedNumberText(std::size_t number) {
    std::string digits = std::to_string(number);
    for (std::size_t at = digits.size(); at > 3;) {
        at -= 3;
        digits.insert(at, ",");
    }
    return digits;
}

std::string LineText(std::size_t line) { return "line " + GroupedNumberText(line); }

} // namespace ov
