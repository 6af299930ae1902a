#include "cli/CliCommands.h"

namespace ov::cli {

int RunSegments(const std::vector<std::string>&, std::ostream&, std::ostream& err) {
    err << "not built yet\n";
    return 2;
}

} // namespace ov::cli
