#pragma once
// What is global to the running application: the active and open scenes, the current
// drawing tool, the shared counters, and the small shared functions for number text,
// colours and angles. (The Esc key and the file dialog are in platform/Desktop.h.)

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ov {

class clsScene;
class IMainWindow;

enum Tool : std::int32_t {
    ToolPick = 0, ToolNodeEdit = 1, ToolZoom = 2, ToolLine = 3, ToolRectangle = 4, ToolEllipse = 5,
    ToolBezier = 6, ToolBox = 7, ToolMeasure = 8
};

struct AppState {
    clsScene* ActiveScene = nullptr;
    std::vector<clsScene*> OpenScenes; // in the order of opening; owned by their documents
    std::int32_t CurrentTool = ToolPick;
    std::int32_t PreviousTool = ToolPick; // last tool other than pick and zoom
    std::int32_t DocumentCounter = 0;     // numbers new untitled documents
    std::int64_t NodeKeyCounter = 0;      // source of the object tree's item keys
    clsScene* DialogScene = nullptr;      // the scene handed to the settings dialog
    IMainWindow* MainWindow = nullptr;    // not owned; none in the headless tool
};

AppState& App();

// Changes the current tool. Choosing the zoom tool remembers the tool to go back to; any
// tool other than pick and zoom becomes the previous tool.
void SetTool(std::int32_t code);

// The active scene's unit precision; 4 without an active scene.
std::int32_t GetPrecision();
// The value with exactly GetPrecision() decimals, in the user's decimal separator.
std::string FormatNumber(double value);
// Trimmed, "," read as the decimal point, the longest numeric prefix; never an error.
double ParseNumber(std::string_view text);
// ParseNumber, kept inside [min, max]; not inclusive keeps it 10^-precision inside.
double ParseNumberClamped(std::string_view text, double min, double max, bool inclusive);
// Difference in brightness of two colours, 0 to 100.
int ColorDistance(std::int32_t a, std::int32_t b);
// a - b in radians, brought into -pi .. pi.
double AngleDifference(double a, double b);
// The angle of (x, y), between -pi/2 and 3 pi/2.
double Atan2(double y, double x);

// The decimal separator of the user's locale for FormatNumber ('.' until the application
// sets it).
void SetLocaleDecimalPoint(char point);

} // namespace ov
