#include "app/desktop/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace ov {

namespace {

constexpr const char* kGroup = "Settings";
// Room for the tree, four views and the panels below them (the transform and line panels
// need about 1100 pixels side by side). A smaller main window, such as the stored default of
// 6500 twips (433 pixels at 96 dpi), clips the panels, so it is widened to this unless the
// screen itself is smaller.
constexpr int kMinimumWidth = 1140;
constexpr int kMinimumHeight = 720;
// Far beyond any screen, and small enough for int arithmetic on rectangles.
constexpr double kPixelLimit = 1e6;

double ReadValue(QSettings& settings, const char* key, double fallback) {
    const QVariant stored = settings.value(QString::fromLatin1(key));
    if (!stored.isValid()) return fallback;
    // Written by us with a decimal point; a comma is read too, as other writers may use one.
    QString text = stored.toString().trimmed();
    text.replace(u',', u'.');
    bool ok = false;
    const float value = text.toFloat(&ok);
    return ok && std::isfinite(value) ? static_cast<double>(value) : fallback;
}

QString SingleText(double value) {
    return QString::number(static_cast<double>(static_cast<float>(value)), 'g', 7);
}

int ToPixels(double twips, double dpi) {
    const double pixels =
        std::clamp(std::round(twips * dpi / kTwipsPerInch), -kPixelLimit, kPixelLimit);
    return static_cast<int>(pixels);
}

double Dpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 0.0;
    return dpi > 0 && std::isfinite(dpi) ? dpi : 96.0;
}

QList<QRect> AvailableScreens() {
    QList<QRect> areas;
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        areas << primary->availableGeometry();
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen != QGuiApplication::primaryScreen()) areas << screen->availableGeometry();
    return areas;
}

long long Area(const QRect& r) {
    return r.isEmpty() ? 0 : static_cast<long long>(r.width()) * r.height();
}

} // namespace

WindowPlacement ReadWindowPlacement(QSettings& settings) {
    const WindowPlacement defaults;
    WindowPlacement placement;
    settings.beginGroup(QString::fromLatin1(kGroup));
    placement.Left = ReadValue(settings, "MainLeft", defaults.Left);
    placement.Top = ReadValue(settings, "MainTop", defaults.Top);
    placement.Width = ReadValue(settings, "MainWidth", defaults.Width);
    placement.Height = ReadValue(settings, "MainHeight", defaults.Height);
    // No window was ever this size: the store is damaged, and the default serves better
    // than the smallest possible window.
    if (placement.Width <= 0) placement.Width = defaults.Width;
    if (placement.Height <= 0) placement.Height = defaults.Height;
    settings.endGroup();
    return placement;
}

void WriteWindowPlacement(QSettings& settings, const WindowPlacement& placement) {
    settings.beginGroup(QString::fromLatin1(kGroup));
    settings.setValue(QStringLiteral("MainLeft"), SingleText(placement.Left));
    settings.setValue(QStringLiteral("MainTop"), SingleText(placement.Top));
    settings.setValue(QStringLiteral("MainWidth"), SingleText(placement.Width));
    settings.setValue(QStringLiteral("MainHeight"), SingleText(placement.Height));
    settings.endGroup();
}

QRect PlacementToPixels(const WindowPlacement& placement, double dpi) {
    return QRect(ToPixels(placement.Left, dpi), ToPixels(placement.Top, dpi),
                 ToPixels(placement.Width, dpi), ToPixels(placement.Height, dpi));
}

WindowPlacement PixelsToPlacement(const QRect& pixels, double dpi) {
    const double twips = kTwipsPerInch / dpi;
    return {pixels.x() * twips, pixels.y() * twips, pixels.width() * twips,
            pixels.height() * twips};
}

QRect FitToScreens(const QRect& window, const QList<QRect>& availableScreens) {
    QRect screen;
    long long best = -1;
    for (const QRect& area : availableScreens) {
        const long long overlap = Area(area.intersected(window));
        if (overlap > best) {
            screen = area;
            best = overlap;
        }
    }
    if (best == 0) screen = availableScreens.front();
    if (screen.isEmpty()) screen = QRect(0, 0, kMinimumWidth, kMinimumHeight);

    const int width =
        std::clamp(window.width(), std::min(kMinimumWidth, screen.width()), screen.width());
    const int height =
        std::clamp(window.height(), std::min(kMinimumHeight, screen.height()), screen.height());
    const int left = std::clamp(window.x(), screen.x(), screen.x() + screen.width() - width);
    const int top = std::clamp(window.y(), screen.y(), screen.y() + screen.height() - height);
    return QRect(left, top, width, height);
}

void RestoreWindowPlacement(QWidget& window, QSettings& settings) {
    const QRect wanted = PlacementToPixels(ReadWindowPlacement(settings), Dpi());
    const QRect fitted = FitToScreens(wanted, AvailableScreens());
    // Left and top place the window's frame, width and height its content, as on the
    // way out below, so that the window comes back exactly where it was.
    window.move(fitted.topLeft());
    window.resize(fitted.size());
}

void SaveWindowPlacement(const QWidget& window, QSettings& settings) {
    if (window.isMinimized()) return;
    QRect placed(window.pos(), window.size());
    if (window.isMaximized() || window.isFullScreen()) {
        // Keep the size the user gave the window, not the screen's.
        const QRect normal = window.normalGeometry();
        if (normal.isValid()) {
            const QPoint frameOffset =
                window.geometry().topLeft() - window.frameGeometry().topLeft();
            placed = QRect(normal.topLeft() - frameOffset, normal.size());
        }
    }
    WriteWindowPlacement(settings, PixelsToPlacement(placed, Dpi()));
}

} // namespace ov
