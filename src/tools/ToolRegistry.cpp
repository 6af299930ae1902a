// The tools of the document window, by code. A new tool is a file of its own and one line
// in the table below.
#include "scene/AppState.h"
#include "tools/MouseTool.h"

namespace ov {

std::unique_ptr<MouseTool> MakePickTool();
std::unique_ptr<MouseTool> MakeNodeEditTool();
std::unique_ptr<MouseTool> MakeZoomTool();
std::unique_ptr<MouseTool> MakeLineTool();
std::unique_ptr<MouseTool> MakeRectangleTool();
std::unique_ptr<MouseTool> MakeEllipseTool();
std::unique_ptr<MouseTool> MakeBezierTool();
std::unique_ptr<MouseTool> MakeBoxTool();
std::unique_ptr<MouseTool> MakeMeasureTool();

namespace {

struct Entry {
    std::int32_t id;
    std::unique_ptr<MouseTool> (*make)();
};

const Entry kTools[] = {
    {ToolPick, MakePickTool},           {ToolNodeEdit, MakeNodeEditTool}, {ToolZoom, MakeZoomTool},
    {ToolLine, MakeLineTool},           {ToolRectangle, MakeRectangleTool}, {ToolEllipse, MakeEllipseTool},
    {ToolBezier, MakeBezierTool},       {ToolBox, MakeBoxTool},           {ToolMeasure, MakeMeasureTool},
};

} // namespace

std::unique_ptr<MouseTool> MakeTool(std::int32_t id) {
    for (const Entry& e : kTools)
        if (e.id == id) return e.make();
    return MakePickTool();
}

} // namespace ov
