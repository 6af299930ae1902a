#pragma once
// Where the main window was: its left, top, width and height in the per-user settings, in
// units of 1/1440 inch, read at start-up and written back when the program ends.

#include <QList>
#include <QRect>

class QSettings;
class QWidget;

namespace ov {

constexpr double kTwipsPerInch = 1440.0;

// Left, top, width and height in 1/1440 inch.
struct WindowPlacement {
    double Left = 1000;
    double Top = 1000;
    double Width = 6500;
    double Height = 6500;
};

// The stored placement, group "Settings", keys "MainLeft", "MainTop", "MainWidth" and
// "MainHeight"; a key that is missing or does not hold a finite number gives its default, as
// does a width or height that is not positive.
WindowPlacement ReadWindowPlacement(QSettings& settings);
// Stores the four values as text of single-precision numbers.
void WriteWindowPlacement(QSettings& settings, const WindowPlacement& placement);

// The placement in pixels at dpi dots per inch, and back.
QRect PlacementToPixels(const WindowPlacement& placement, double dpi);
WindowPlacement PixelsToPlacement(const QRect& pixels, double dpi);

// A window rectangle made usable on the given screens (available areas, the primary one
// first): it goes to the screen it overlaps most (the primary one when it overlaps none),
// shrinks to fit there, grows to a workable minimum where the screen allows, and is moved
// until it lies wholly on that screen.
QRect FitToScreens(const QRect& window, const QList<QRect>& availableScreens);

// Start-up: gives the top-level window its stored place and size, fitted to the screens.
void RestoreWindowPlacement(QWidget& window, QSettings& settings);
// Shut-down: stores the window's place and size; a minimised window leaves the stored
// placement unchanged.
void SaveWindowPlacement(const QWidget& window, QSettings& settings);

} // namespace ov
