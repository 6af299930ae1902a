#include "cli/CliCommands.h"

namespace ov::cli {

namespace {

const char* const kUsage =
    "usage: orthovane-cli COMMAND [ARGS]\n"
    "commands:\n"
    "  new OUT.ovp                                                        write a new project (the model house)\n"
    "  resave IN.ovp OUT.ovp                                              load a project and save it again\n"
    "  info IN.ovp [--json]                                               name, objects, bounding box, camera\n"
    "  eval [--project P.ovp] [--functions FILE.fnl]... [--name NAME] EXPR...   evaluate formulas\n"
    "  segments IN.ovp --view NAME                                        visible segments of a view, u1 v1 u2 v2\n"
    "  render IN.ovp --view NAME --out FILE.(png|svg|pdf|emf) [--page P] [--landscape] [--fit] [--frame]\n"
    "         [--no-grid] [--size WxH]                                    draw a view to a file\n";

} // namespace

int RunMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        (args.empty() ? err : out) << kUsage;
        return args.empty() ? 2 : 0;
    }
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (args[0] == "eval") return RunEval(rest, out, err);
    if (args[0] == "new") return RunNew(rest, out, err);
    if (args[0] == "resave") return RunResave(rest, out, err);
    if (args[0] == "info") return RunInfo(rest, out, err);
    if (args[0] == "segments") return RunSegments(rest, out, err);
    if (args[0] == "render") return RunRender(rest, out, err);
    err << "unknown command '" << args[0] << "'\n" << kUsage;
    return 2;
}

} // namespace ov::cli
