#include "app/desktop/ShellRules.h"

#include <cctype>

namespace ov {

namespace {

constexpr const char* kOpen = "[O(\"";
constexpr const char* kClose = "\")]";

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

} // namespace

std::optional<std::string> ParseExecuteString(const std::string& text) {
    // The markers may not overlap: "[O(")]" has both but names nothing.
    if (text.size() < 7 || text.compare(0, 4, kOpen) != 0 || text.compare(text.size() - 3, 3, kClose) != 0)
        return std::nullopt;
    return text.substr(4, text.size() - 7);
}

std::string MakeExecuteString(const std::string& path) { return kOpen + path + kClose; }

bool IsProjectDrop(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    const std::string last = dot == std::string::npos ? path : path.substr(dot + 1);
    return Upper(last) == "OVP";
}

bool StartsWithDdeSwitch(const std::string& commandLine) { return Upper(commandLine.substr(0, 4)) == "-DDE"; }

} // namespace ov
