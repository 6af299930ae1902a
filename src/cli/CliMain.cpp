#include "cli/CliCommands.h"

#include <algorithm>
#include <chrono>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <map>
#include <new>

#include "cli/CliUsage.h"
#include "expr/NestingLevels.h"
#include "platform/Desktop.h"
#include "Version.h"
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
    "         [--no-grid] [--size WxH] [--reference]                      draw a view to a file\n"
    "  match-camera --size WxH --x \"x1 y1 x2 y2; x1 y1 x2 y2\" --y \"...\" [--z \"...\"] --origin \"x y\"\n"
    "         [--scale \"x y N\"] [--project IN.ovp --out OUT.ovp]          the camera that took a picture\n"
    "info, eval, segments and render also take --max-seconds N: stop with an error after N seconds\n"
    "resave, info, segments and render also take --recover: read a damaged project up to its damage\n"
    "orthovane-cli COMMAND --help shows a command's usage; orthovane-cli --version the version\n";

using Command = int (*)(const std::vector<std::string>&, std::ostream&, std::ostream&);

struct CommandEntry {
    Command run;
    const char* doing;   // what "Not enough memory to ..." names
    bool timed;          // takes --max-seconds
    const char* usage;   // what --help prints
    const char* options; // the options it takes, blank-separated; "=" marks one with a value
};

const std::map<std::string, CommandEntry>& Commands() {
    static const std::map<std::string, CommandEntry> commands = {
        {"eval", {RunEval, "evaluate the formulas", true, kEvalUsage, "--project= --functions= --name="}},
        {"new", {RunNew, "write the new project", false, kNewUsage, ""}},
        {"resave", {RunResave, "resave the project", false, kResaveUsage, "--recover"}},
        {"info", {RunInfo, "read the project", true, kInfoUsage, "--json --recover"}},
        {"segments", {RunSegments, "list the segments", true, kSegmentsUsage, "--view= --recover"}},
        {"render",
         {RunRender, "render the view", true, kRenderUsage,
          "--view= --out= --page= --landscape --fit --frame --no-grid --size= --reference --recover"}},
        {"match-camera",
         {RunMatchCamera, "match the camera", false, kMatchCameraUsage,
          "--size= --x= --y= --z= --origin= --scale= --project= --out="}},
    };
    return commands;
}

// Arguments before the "--" that ends eval's options.
std::size_t OptionEnd(const std::vector<std::string>& args) {
    return static_cast<std::size_t>(std::find(args.begin(), args.end(), "--") - args.begin());
}

enum class OptionKind { Unknown, Flag, WithValue };

OptionKind KindOf(const CommandEntry& command, const std::string& argument) {
    const std::string known = std::string(" ") + command.options + " ";
    if (known.find(" " + argument + "= ") != std::string::npos) return OptionKind::WithValue;
    return known.find(" " + argument + " ") != std::string::npos ? OptionKind::Flag : OptionKind::Unknown;
}

// Calls look(argument) on each argument before the "--" that ends eval's options, skipping
// the values of the command's options that take one, until look answers true.
template <typename Look>
bool AnyOption(const CommandEntry& command, const std::vector<std::string>& args, Look look) {
    for (std::size_t i = 0; i < OptionEnd(args); ++i) {
        if (look(args[i])) return true;
        if (KindOf(command, args[i]) == OptionKind::WithValue) ++i; // its value follows
    }
    return false;
}

bool WantsHelp(const CommandEntry& command, const std::vector<std::string>& args) {
    return AnyOption(command, args, [](const std::string& a) { return a == "--help" || a == "-h"; });
}

// The first argument that looks like an option ("--" and a letter) and is not one of the
// command's; "" when there is none.
std::string UnknownOption(const CommandEntry& command, const std::vector<std::string>& args) {
    std::string unknown;
    AnyOption(command, args, [&](const std::string& a) {
        const bool option = a.size() > 2 && a.compare(0, 2, "--") == 0 && std::isalpha(static_cast<unsigned char>(a[2]));
        if (option && KindOf(command, a) == OptionKind::Unknown) unknown = a;
        return !unknown.empty();
    });
    return unknown;
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
    // Commands read and evaluate formulas, so they run on a stack the program sizes.
    int status = 0;
    RunWithFormulaStack([&] { status = command.run(args, out, err); });
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
    if (args[0] == "--version") {
        out << "orthovane-cli " << kVersion << '\n';
        return 0;
    }
    const auto found = Commands().find(args[0]);
    if (found == Commands().end()) {
        err << "unknown command '" << args[0] << "'\n" << kUsage;
        return 2;
    }
    const CommandEntry& command = found->second;
    std::vector<std::string> rest(args.begin() + 1, args.end());
    if (WantsHelp(command, rest)) {
        out << command.usage;
        return 0;
    }
    double seconds = 0;
    std::string message;
    if (command.timed && !TakeTimeLimit(rest, seconds, message)) {
        err << message << '\n' << command.usage;
        return 2;
    }
    if (const std::string option = UnknownOption(command, rest); !option.empty()) {
        err << "unknown option '" << option << "' for '" << args[0] << "'\n" << command.usage;
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
