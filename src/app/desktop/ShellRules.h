#pragma once
// How another program hands a project to the running instance: the execute string of the
// open command, and the rule for files dropped on the main window.

#include <optional>
#include <string>

namespace ov {

// The file named by an execute string of the form [O("path")]; nothing for any other text.
std::optional<std::string> ParseExecuteString(const std::string& text);
// The execute string that names a file.
std::string MakeExecuteString(const std::string& path);
// Whether a dropped file is opened as a project: the last "."-separated piece of its path,
// upper-cased, is "OVP" (a name without dots is its own last piece).
bool IsProjectDrop(const std::string& path);
// Whether the command line starts with the switch that says an open command will follow
// (-DDE, any case), so that no untitled document is opened.
bool StartsWithDdeSwitch(const std::string& commandLine);

} // namespace ov
