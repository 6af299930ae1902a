#include "cli/CliCommands.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <map>
#include <new>

#include "platform/Desktop.h"
#include "shapes/CurvePoints.h"

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
    "         [--no-grid] [--size WxH]                                    draw a view to a file\n"
    "info, eval, segments and render also take --max-seconds N: stop with an error after N seconds\n";

using Command = int (*)(const std::vector<std::string>&, std::ostream&, std::ostream&);

struct CommandEntry {
    Command run;
    const char* doing; // what "Not enough memory to ..." names
    bool timed;        // takes --max-seconds
};

const std::map<std::string, CommandEntry>& Commands() {
    static const std::map<std::string, CommandEntry> commands = {
        {"eval", {RunEval, "evaluate the formulas", true}},
        {"new", {RunNew, "write the new project", false}},
        {"resave", {RunResave, "resave the project", false}},
        {"info", {RunInfo, "read the project", true}},
        {"segments", {RunSegments, "list the segments", true}},
        {"render", {RunRender, "render the view", true}},
    };
    return commands;
}

// Takes --max-seconds N out of args (before the "--" that ends eval's options). Returns
// false with a message for a missing or invalid N.
bool TakeTimeLimit(std::vector<std::string>& args, double& seconds, std::string& message) {
    seconds = 0;
    for (std::size_t i = 0; i < args.size() && args[i] != "--"; ++i) {
        if (args[i] != "--max-seconds") continue;
        char* end = nullptr;
        const double value = i + 1 < args.size() ? std::strtod(args[i + 1].c_str(), &end) : 0;
        if (i + 1 >= args.size() || end == args[i + 1].c_str() || *end != '\0' || !(value > 0) ||
            !std::isfinite(value)) {
            message = "--max-seconds needs a positive number of seconds";
            return false;
        }
        seconds = value;
        args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
        --i;
    }
    return true;
}

int RunTimed(const CommandEntry& command, const std::vector<std::string>& args, double seconds, std::ostream& out,
             std::ostream& err) {
    if (seconds > 0) {
        const auto limit = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
            std::chrono::duration<double>(std::min(seconds, 1e9)));
        SetDeadline(std::chrono::steady_clock::now() + limit);
    }
    // Curves cut short for lack of room are named once, not once a curve.
    bool warned = false;
    CurveBudget::SetRefusalHandler([&](const std::string& message) {
        if (!warned) err << "warning: " << message << '\n';
        warned = true;
    });
    int status = command.run(args, out, err);
    CurveBudget::SetRefusalHandler(nullptr);
    if (seconds > 0 && DeadlinePassed()) {
        err << "error: time limit reached\n";
        status = 2;
    }
    SetDeadline(std::nullopt);
    return status;
}

} // namespace

int RunMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        (args.empty() ? err : out) << kUsage;
        return args.empty() ? 2 : 0;
    }
    const auto found = Commands().find(args[0]);
    if (found == Commands().end()) {
        err << "unknown command '" << args[0] << "'\n" << kUsage;
        return 2;
    }
    const CommandEntry& command = found->second;
    std::vector<std::string> rest(args.begin() + 1, args.end());
    double seconds = 0;
    std::string message;
    if (command.timed && !TakeTimeLimit(rest, seconds, message)) {
        err << message << '\n' << kUsage;
        return 2;
    }
    // Memory that runs out anywhere in a command ends the command, not the program with an
    // abort: files it writes are replaced only when complete, so nothing is damaged.
    try {
        return RunTimed(command, rest, seconds, out, err);
    } catch (const std::bad_alloc&) {
        SetDeadline(std::nullopt);
        CurveBudget::SetRefusalHandler(nullptr);
        err << "error: Not enough memory to " << command.doing << '\n';
        return 2;
    }
}

} // namespace ov::cli
