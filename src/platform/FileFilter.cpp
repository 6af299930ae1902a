// Reading the file-type list of a file dialog ("Description|*.a;*.b|Description|*.c"), and
// the save dialog's default for dialogs that cannot tell which type was chosen.
#include "platform/Desktop.h"

#include <cctype>
#include <vector>

namespace ov {

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> pieces(1);
    for (const char c : text)
        if (c == separator) pieces.emplace_back();
        else pieces.back() += c;
    return pieces;
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string Trimmed(const std::string& s) {
    const std::size_t first = s.find_first_not_of(' '), last = s.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : s.substr(first, last - first + 1);
}

// The extensions of the patterns "*.ext" of each entry; "*.*" and the like give none.
std::vector<std::vector<std::string>> EntryExtensions(const std::string& filter) {
    std::vector<std::vector<std::string>> entries;
    if (filter.empty()) return entries;
    const std::vector<std::string> pieces = Split(filter, '|');
    for (std::size_t i = 1; i < pieces.size(); i += 2) {
        std::vector<std::string>& extensions = entries.emplace_back();
        for (const std::string& raw : Split(pieces[i], ';')) {
            const std::string pattern = Trimmed(raw);
            if (pattern.size() > 2 && pattern.compare(0, 2, "*.") == 0 && pattern.find_first_of("*?", 2) == std::string::npos)
                extensions.push_back(Lower(pattern.substr(2)));
        }
    }
    return entries;
}

} // namespace

std::string FilterExtension(const std::string& filter, int index) {
    const auto entries = EntryExtensions(filter);
    if (index < 0 || index >= static_cast<int>(entries.size()) || entries[index].empty()) return {};
    return entries[index].front();
}

int FilterIndexOfPath(const std::string& filter, const std::string& path) {
    const std::size_t slash = path.find_last_of('/'), dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return -1;
    const std::string extension = Lower(path.substr(dot + 1));
    const auto entries = EntryExtensions(filter);
    for (std::size_t i = 0; i < entries.size(); ++i)
        for (const std::string& e : entries[i])
            if (e == extension) return static_cast<int>(i);
    return -1;
}

SaveChoice IFileDialog::ShowSave(const std::string& title, const std::string& initialFileName, const std::string& filter,
                                 int initialFilter) {
    SaveChoice choice;
    choice.Path = Show(title, FilterExtension(filter, initialFilter), initialFileName, filter, false);
    const int found = FilterIndexOfPath(filter, choice.Path);
    choice.FilterIndex = found >= 0 ? found : initialFilter;
    return choice;
}

} // namespace ov
