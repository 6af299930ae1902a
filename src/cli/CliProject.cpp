// Project commands of orthovane-cli: new, resave, info.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iomanip>
#include <sstream>
#include <string_view>

#include "cli/CliCommands.h"
#include "cli/CliLoad.h"
#include "cli/CliUsage.h"
#include "cli/StreamPrompt.h"
#include "io/Utf8.h"
#include "scene/clsScene.h"

namespace ov::cli {

namespace {

std::string Num(double v) {
    std::ostringstream s;
    s << std::setprecision(15) << v;
    return s.str();
}

// A JSON number; JSON has none for infinities and NaN.
std::string JsonNum(double v) { return std::isfinite(v) ? Num(v) : "null"; }

bool Finite(const clsPoint3D& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

std::string Point(const clsPoint3D& p, bool json) {
    if (json) return "[" + JsonNum(p.x) + ", " + JsonNum(p.y) + ", " + JsonNum(p.z) + "]";
    return "(" + Num(p.x) + ", " + Num(p.y) + ", " + Num(p.z) + ")";
}

// A JSON string. Names and notes come from files and may hold any bytes: a byte that is
// not part of well-formed UTF-8 becomes U+FFFD, so that the output stays valid JSON.
std::string JsonText(std::string_view s) {
    std::string out = "\"";
    for (std::size_t i = 0; i < s.size();) {
        std::uint32_t cp = 0;
        const std::size_t length = DecodeUtf8(s, i, cp);
        if (length == 0) {
            out += kUtf8Replacement;
            ++i;
            continue;
        }
        if (cp == '"' || cp == '\\') {
            out += '\\';
            out += static_cast<char>(cp);
        } else if (cp < 0x20 || cp == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(cp));
            out += buf;
        } else {
            out.append(s.substr(i, length));
        }
        i += length;
    }
    return out + "\"";
}

void CountNodes(const clsNode& root, long counts[6]) {
    std::vector<const clsNode*> pending{&root};
    while (!pending.empty()) {
        const clsNode* n = pending.back();
        pending.pop_back();
        if (n->NodeType >= 0 && n->NodeType <= 5) ++counts[n->NodeType];
        for (const clsNode* c = n->FirstChild(); c; c = c->NextSibling()) pending.push_back(c);
    }
}

} // namespace

int RunNew(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
    if (args.size() != 1) {
        err << kNewUsage;
        return 2;
    }
    StreamPrompt prompt(err);
    ScopedPrompt installed(prompt);
    clsScene scene;
    return scene.SaveScene(args[0]) ? 0 : 2;
}

int RunResave(const std::vector<std::string>& given, std::ostream&, std::ostream& err) {
    std::vector<std::string> args = given;
    const bool recover = TakeRecoverOption(args);
    if (args.size() != 2) {
        err << kResaveUsage;
        return 2;
    }
    StreamPrompt prompt(err);
    ScopedPrompt installed(prompt);
    clsScene scene;
    if (!LoadProject(scene, args[0], recover, err)) return 2;
    return scene.SaveScene(args[1]) ? 0 : 2;
}

int RunInfo(const std::vector<std::string>& given, std::ostream& out, std::ostream& err) {
    std::vector<std::string> args = given;
    const bool recover = TakeRecoverOption(args);
    bool json = false;
    std::string path;
    for (const std::string& a : args) {
        if (a == "--json") json = true;
        else if (path.empty()) path = a;
        else path = "\n"; // more than one file: a usage error below
    }
    if (path.empty() || path == "\n") {
        err << kInfoUsage;
        return 2;
    }
    StreamPrompt prompt(err);
    ScopedPrompt installed(prompt);
    clsScene scene;
    if (!LoadProject(scene, path, recover, err)) return 2;

    long counts[6] = {0, 0, 0, 0, 0, 0};
    CountNodes(*scene.GetRootNode(), counts);
    clsPoint3D min, max;
    const bool empty = !scene.GetRootNode()->GetChildrenBBox(min, max);
    // Extents that overflow a double (a radius of 1E300 scaled by 1E300) have no numbers.
    const bool unbounded = !empty && !(Finite(min) && Finite(max));
    const clsPerspective& cam = scene.GetPerspective();
    static const char* const kinds[] = {"root", "line", "group", "ellipse", "curve", "function"};
    if (json) {
        out << "{\n  \"name\": " << JsonText(scene.Name) << ",\n  \"nodes\": {";
        for (int i = 0; i < 6; ++i) out << (i ? ", " : "") << "\"" << kinds[i] << "\": " << counts[i];
        out << "},\n  \"bbox\": ";
        if (empty) out << "null";
        else if (unbounded) out << "\"unbounded\"";
        else out << "{\"min\": " << Point(min, true) << ", \"max\": " << Point(max, true) << "}";
        out << ",\n  \"camera\": {\"eye\": " << Point(cam.EyePoint, true) << ", \"normal\": " << Point(cam.Normal, true)
            << ", \"up\": " << Point(cam.ViewUp, true) << ", \"window\": [" << JsonNum(cam.UMin) << ", " << JsonNum(cam.VMin)
            << ", " << JsonNum(cam.UMax) << ", " << JsonNum(cam.VMax) << "], \"distance\": " << JsonNum(cam.Distance)
            << "}\n}\n";
        return 0;
    }
    out << "Name: " << scene.Name << "\nNodes:";
    for (int i = 0; i < 6; ++i) out << (i ? ", " : " ") << kinds[i] << " " << counts[i];
    out << "\nBounding box: ";
    if (empty) out << "none";
    else if (unbounded) out << "unbounded";
    else out << Point(min, false) << " - " << Point(max, false);
    out << "\nEye point: " << Point(cam.EyePoint, false) << "\nNormal: " << Point(cam.Normal, false)
        << "\nView up: " << Point(cam.ViewUp, false) << "\nWindow: u " << Num(cam.UMin) << " .. " << Num(cam.UMax)
        << ", v " << Num(cam.VMin) << " .. " << Num(cam.VMax) << "\nDistance: " << Num(cam.Distance) << "\n";
    return 0;
}

} // namespace ov::cli
