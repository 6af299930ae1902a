#pragma once
// Loading the project a command works on, and the --recover option of the commands that
// read one: a damaged project then gives what comes before its damage.

#include <ostream>
#include <string>
#include <vector>

#include "scene/clsScene.h"

namespace ov::cli {

// Removes every --recover from args; true when there was one.
bool TakeRecoverOption(std::vector<std::string>& args);

// Loads path into scene; messages go to err. A damaged project with objects before its
// damage is read up to the damage with recover (and a warning), and otherwise fails with the
// damage and a hint at --recover.
bool LoadProject(clsScene& scene, const std::string& path, bool recover, std::ostream& err);

} // namespace ov::cli
