#include "io/ParseReport.h"

namespace ov {

std::string LineText(std::size_t line) {
    std::string digits = std::to_string(line);
    for (std::size_t at = digits.size(); at > 3;) {
        at -= 3;
        digits.insert(at, ",");
    }
    return "line " + digits;
}

} // namespace ov
