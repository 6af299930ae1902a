// orthovane-cli segments: the segments a view draws for output, in view-plane coordinates.
#include <string>
#include <vector>

#include "cli/CliCommands.h"
#include "cli/CliLoad.h"
#include "cli/CliUsage.h"
#include "cli/CliViewArg.h"
#include "cli/StreamPrompt.h"
#include "io/NumberText.h"
#include "scene/clsScene.h"
#include "paint/clsView.h"

namespace ov::cli {

namespace {


// Every visible object in tree order (depth first, children in order), as the output pass
// paints them; hidden objects are left out.
void WriteSegments(const clsView& view, clsNode* root, std::ostream& out) {
    std::vector<clsNode*> pending{root};
    while (!pending.empty()) {
        clsNode* node = pending.back();
        pending.pop_back();
        // Children go on the stack last first, so that the first child comes out next.
        std::vector<clsNode*> children;
        for (clsNode* c = node->FirstChild(); c; c = c->NextSibling()) children.push_back(c);
        pending.insert(pending.end(), children.rbegin(), children.rend());
        if (!node->Object || node->Hidden) continue;
        for (const clsLine3D& segment : node->BreakApart()) {
            double u1 = 0, v1 = 0, u2 = 0, v2 = 0;
            if (!view.ConvertLine(segment, u1, v1, u2, v2)) continue;
            out << GeneralNumberText(u1) << ' ' << GeneralNumberText(v1) << ' ' << GeneralNumberText(u2) << ' '
                << GeneralNumberText(v2) << '\n';
        }
    }
}

} // namespace

int RunSegments(const std::vector<std::string>& given, std::ostream& out, std::ostream& err) {
    std::vector<std::string> args = given;
    const bool recover = TakeRecoverOption(args);
    std::string path, viewName;
    bool haveView = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--view") {
            if (i + 1 >= args.size() || haveView) {
                err << kSegmentsUsage;
                return 2;
            }
            viewName = args[++i];
            haveView = true;
        } else if (path.empty() && !args[i].empty()) {
            path = args[i];
        } else {
            err << kSegmentsUsage;
            return 2;
        }
    }
    if (path.empty() || !haveView) {
        err << kSegmentsUsage;
        return 2;
    }
    std::int32_t viewType = clsView::Perspective;
    if (!ParseViewArg(viewName, viewType)) {
        err << ViewArgError(viewName) << '\n';
        return 2;
    }

    StreamPrompt prompt(err);
    ScopedPrompt installed(prompt);
    clsScene scene;
    if (!LoadProject(scene, path, recover, err)) return 2;
    clsView view;
    view.SetView(viewType, nullptr, &scene);
    WriteSegments(view, scene.GetRootNode(), out);
    return 0;
}

} // namespace ov::cli
