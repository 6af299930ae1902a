// orthovane-cli match-camera: the camera that took a picture, from edges in it that run
// parallel to the document axes; printed, and optionally put into a copy of a project.
#include <charconv>
#include <map>
#include <optional>
#include <sstream>
#include <string>

#include "camera/CameraMatch.h"
#include "cli/CliCommands.h"
#include "cli/CliUsage.h"
#include "cli/StreamPrompt.h"
#include "io/NumberText.h"
#include "scene/clsScene.h"

namespace ov::cli {

namespace {

constexpr double kLargestPicture = 1e6; // pixels a side

// The blank-separated numbers of a text; false for anything that is not a finite number.
bool Numbers(const std::string& text, std::vector<double>& values) {
    std::istringstream words(text);
    for (std::string word; words >> word;) {
        double v = 0;
        const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), v);
        if (error != std::errc() || end != word.data() + word.size() || !std::isfinite(v)) return false;
        values.push_back(v);
    }
    return true;
}

bool Point(const std::vector<double>& v, std::size_t at, PicturePoint& p) {
    if (at + 2 > v.size()) return false;
    p = {v[at], v[at + 1]};
    return true;
}

// "x1 y1 x2 y2; x1 y1 x2 y2"
bool ParsePair(const std::string& text, AxisPair& pair) {
    const std::size_t semicolon = text.find(';');
    if (semicolon == std::string::npos) return false;
    const std::string halves[2] = {text.substr(0, semicolon), text.substr(semicolon + 1)};
    for (int i = 0; i < 2; ++i) {
        std::vector<double> v;
        if (!Numbers(halves[i], v) || v.size() != 4) return false;
        Point(v, 0, pair[i].Start);
        Point(v, 2, pair[i].End);
    }
    return true;
}

// "WxH", whole numbers of pixels.
bool ParseSize(const std::string& text, double& width, double& height) {
    const std::size_t x = text.find_first_of("xX");
    if (x == std::string::npos) return false;
    auto whole = [](const std::string& s, double& v) {
        long n = 0;
        const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), n);
        v = static_cast<double>(n);
        return error == std::errc() && end == s.data() + s.size() && n >= 1 && v <= kLargestPicture;
    };
    return whole(text.substr(0, x), width) && whole(text.substr(x + 1), height);
}

int Refuse(std::ostream& err, const std::string& message) {
    err << message << '\n' << kMatchCameraUsage;
    return 2;
}

// The option values by name, each at most once; "" when all is well, else the reason.
std::string CollectOptions(const std::vector<std::string>& args, std::map<std::string, std::string>& values) {
    static const std::string known = " --size --x --y --z --origin --scale --project --out ";
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (known.find(" " + a + " ") == std::string::npos) return "unexpected argument '" + a + "'";
        if (i + 1 >= args.size()) return "option " + a + " needs a value";
        if (!values.emplace(a, args[++i]).second) return "option " + a + " is given twice";
    }
    return {};
}

std::string Invalid(const std::string& option, const std::string& value, const char* form) {
    return "invalid " + option + " '" + value + "' (use " + form + ", finite numbers)";
}

// The solver's input from the options; "" when all is well, else the reason.
std::string ReadInput(std::map<std::string, std::string>& o, CameraMatchInput& in) {
    if (!o.count("--size")) return "no picture size given (--size WxH)";
    if (!o.count("--origin")) return "no origin given (--origin \"x y\")";
    if (o.count("--project") != o.count("--out")) return "--project and --out go together";
    if (!ParseSize(o["--size"], in.Width, in.Height))
        return "invalid size '" + o["--size"] + "' (use WxH, whole numbers from 1 to 1000000)";
    const char* const axes[] = {"--x", "--y", "--z"};
    for (int k = 0; k < 3; ++k) {
        if (!o.count(axes[k])) continue;
        in.Axes[k].emplace();
        if (!ParsePair(o[axes[k]], *in.Axes[k])) return Invalid(axes[k], o[axes[k]], "\"x1 y1 x2 y2; x1 y1 x2 y2\"");
    }
    if (o.count("--x") + o.count("--y") + o.count("--z") < 2) return "at least two of --x, --y and --z are needed";
    std::vector<double> v;
    if (!Numbers(o["--origin"], v) || v.size() != 2) return Invalid("--origin", o["--origin"], "\"x y\"");
    Point(v, 0, in.Origin);
    if (!o.count("--scale")) return {};
    v.clear();
    if (!Numbers(o["--scale"], v) || v.size() != 3) return Invalid("--scale", o["--scale"], "\"x y N\"");
    in.ScalePoint.emplace();
    Point(v, 0, *in.ScalePoint);
    in.ScaleLength = v[2];
    return {};
}

void Print(std::ostream& out, const clsPerspective& c, const CameraMatch& m, bool threeAxes) {
    const std::pair<const char*, double> lines[] = {
        {"EyeX", c.EyePoint.x}, {"EyeY", c.EyePoint.y}, {"EyeZ", c.EyePoint.z}, {"NormalX", c.Normal.x},
        {"NormalY", c.Normal.y}, {"NormalZ", c.Normal.z}, {"ViewUpX", c.ViewUp.x}, {"ViewUpY", c.ViewUp.y},
        {"ViewUpZ", c.ViewUp.z}, {"Distance", c.Distance}, {"UMin", c.UMin}, {"VMin", c.VMin},
        {"UMax", c.UMax}, {"VMax", c.VMax}, {"FieldOfView", m.FieldOfView}};
    for (const auto& [key, value] : lines) out << key << " = " << EncodeDouble(value) << '\n';
    // Three pairs over-determine the camera: how far their axes are from right angles.
    if (threeAxes) out << "AxisAngleError = " << EncodeDouble(m.AxisAngleError) << '\n';
}

} // namespace

int RunMatchCamera(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::map<std::string, std::string> options;
    CameraMatchInput input;
    if (std::string problem = CollectOptions(args, options); !problem.empty()) return Refuse(err, problem);
    if (std::string problem = ReadInput(options, input); !problem.empty()) return Refuse(err, problem);

    StreamPrompt prompt(err);
    ScopedPrompt installed(prompt);
    clsScene scene; // its camera is a new one unless a project is given
    if (options.count("--project") && !scene.LoadScene(options["--project"], false)) return 2;
    const CameraMatchResult match = MatchCamera(input);
    if (!match.Ok()) {
        err << "error: " << match.Error << '\n';
        return 1;
    }
    clsPerspective& camera = scene.GetPerspective();
    ApplyCameraMatch(match.Camera, camera);
    if (options.count("--out") && !scene.SaveScene(options["--out"])) return 2;
    Print(out, camera, match.Camera, input.Axes[0] && input.Axes[1] && input.Axes[2]);
    return 0;
}

} // namespace ov::cli
