#include "cli/CliViewArg.h"

#include <cctype>

#include "paint/clsView.h"

namespace ov::cli {

namespace {

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace

bool ParseViewArg(const std::string& text, std::int32_t& viewType) {
    if (text.size() == 1 && text[0] >= '0' && text[0] <= '6') {
        viewType = text[0] - '0';
        return true;
    }
    for (std::int32_t code = clsView::Left; code <= clsView::Perspective; ++code) {
        if (SameIgnoringCase(text, clsView::ViewName(code))) {
            viewType = code;
            return true;
        }
    }
    return false;
}

std::string ViewArgError(const std::string& text) {
    return "unknown view '" + text + "' (use Left, Top, Right, Bottom, Front, Back, Perspective or 0 to 6)";
}

} // namespace ov::cli
