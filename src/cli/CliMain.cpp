#include "cli/CliCommands.h"

namespace ov::cli {

namespace {

const char* const kUsage =
    "usage: orthovane-cli COMMAND [ARGS]\n"
    "commands:\n"
    "  eval [--functions FILE.fnl]... [--name NAME] EXPR...   evaluate formulas\n";

} // namespace

int RunMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        (args.empty() ? err : out) << kUsage;
        return args.empty() ? 2 : 0;
    }
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (args[0] == "eval") return RunEval(rest, out, err);
    err << "unknown command '" << args[0] << "'\n" << kUsage;
    return 2;
}

} // namespace ov::cli
