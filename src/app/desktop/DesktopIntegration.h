#pragma once
// Registration of the project file type with the desktop: a desktop entry that opens
// projects in the running program, the MIME type of "*.ovp" files and the icons, kept up to
// date in the user's data folder on every start.

#include <QIcon>
#include <QString>
#include <QStringList>

namespace ov {

// True when ORTHOVANE_NO_DESKTOP_INTEGRATION is set to anything but "" or "0": nothing is
// written to the user's data folder and no single-instance server runs (tests, sandboxes).
bool DesktopIntegrationDisabled();

// One argument of a desktop entry's Exec line, quoted when it needs to be.
QString QuoteDesktopExecArgument(const QString& argument);
// The desktop entry with its Exec line starting the given program with "-DDE %F".
QString DesktopEntryFor(const QString& programPath);

// Writes the desktop entry (for programPath), the MIME package and the icons under dataHome
// (normally ~/.local/share). Files whose content is already right are left alone. Returns
// the folders that changed (for the cache tools); failures are ignored.
QStringList RefreshDesktopFiles(const QString& dataHome, const QString& programPath);
// Starts update-desktop-database and update-mime-database on the changed folders when those
// tools exist, without waiting for them.
void UpdateDesktopCaches(const QString& dataHome, const QStringList& changedFolders);
// Start-up: refreshes the files for the running program in the user's data folder, unless
// switched off.
void RefreshDesktopIntegration();

// The application's icon, drawn from its SVG (empty when no SVG reader is available).
QIcon ApplicationIcon();

} // namespace ov
