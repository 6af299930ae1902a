#include "cli/CliLoad.h"

#include <algorithm>

namespace ov::cli {

bool TakeRecoverOption(std::vector<std::string>& args) {
    const auto end = std::remove(args.begin(), args.end(), std::string("--recover"));
    const bool found = end != args.end();
    args.erase(end, args.end());
    return found;
}

bool LoadProject(clsScene& scene, const std::string& path, bool recover, std::ostream& err) {
    return scene.LoadScene(path, false, [&](const std::string& damage) {
        if (recover)
            err << "warning: the project '" << path << "' is damaged: " << damage
                << "; using what could be read\n";
        else
            err << "Unable to load the project '" << path << "': " << damage
                << "\n--recover uses what could be read\n";
        return recover;
    });
}

} // namespace ov::cli
