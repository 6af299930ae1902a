#include "app/desktop/DesktopIntegration.h"

#include "app/desktop/DesktopData.h"

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPixmap>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

namespace ov {

namespace {

struct DesktopFile {
    const char* Folder; // the top folder under the data home that a cache tool looks after
    const char* Path;   // relative to the data home
};

constexpr DesktopFile kEntryFile{"applications", "applications/orthovane.desktop"};
constexpr DesktopFile kMimeFile{"mime", "mime/packages/orthovane.xml"};
constexpr DesktopFile kAppIconFile{"icons", "icons/hicolor/scalable/apps/orthovane.svg"};
constexpr DesktopFile kTypeIconFile{
    "icons", "icons/hicolor/scalable/mimetypes/application-x-orthovane-project.svg"};

// Writes the file only when its content differs, so that an unchanged registration costs
// no writes and no cache rebuilds. Any failure leaves the old file in place.
bool WriteIfChanged(const QString& path, const QByteArray& content) {
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.size() == content.size() &&
        existing.readAll() == content)
        return false;
    existing.close();
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(content) != content.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

void StartTool(const char* tool, const QStringList& arguments) {
    const QString program = QStandardPaths::findExecutable(QString::fromLatin1(tool));
    if (program.isEmpty()) return;
    QProcess::startDetached(program, arguments);
}

} // namespace

bool DesktopIntegrationDisabled() {
    const QByteArray value = qgetenv("ORTHOVANE_NO_DESKTOP_INTEGRATION");
    return !value.isEmpty() && value != "0";
}

QString QuoteDesktopExecArgument(const QString& argument) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool quote = argument.isEmpty();
    for (QChar c : argument)
        quote = quote || reserved.contains(c);

    // Two layers: the Exec quoting (inside double quotes, " ` $ and \ take a backslash;
    // % is doubled everywhere since it starts field codes), then the escapes of every
    // string value of a desktop entry (a backslash doubled, control characters spelled).
    QString quoted;
    for (QChar c : argument) {
        if (c == u'%')
            quoted += QStringLiteral("%%");
        else if (quote && (c == u'"' || c == u'`' || c == u'$' || c == u'\\'))
            quoted += QString(QChar(u'\\')) + c;
        else
            quoted += c;
    }
    if (quote) quoted = QChar(u'"') + quoted + QChar(u'"');

    QString escaped;
    for (QChar c : quoted) {
        if (c == u'\\')
            escaped += QStringLiteral("\\\\");
        else if (c == u'\n')
            escaped += QStringLiteral("\\n");
        else if (c == u'\t')
            escaped += QStringLiteral("\\t");
        else if (c == u'\r')
            escaped += QStringLiteral("\\r");
        else
            escaped += c;
    }
    return escaped;
}

QString DesktopEntryFor(const QString& programPath) {
    QStringList lines = QString::fromUtf8(desktopdata::kDesktopEntry).split(u'\n');
    for (QString& line : lines)
        if (line.startsWith(QStringLiteral("Exec=")))
            line = QStringLiteral("Exec=") + QuoteDesktopExecArgument(programPath) +
                   QStringLiteral(" -DDE %F"); // several files selected open together
    return lines.join(u'\n');
}

QStringList RefreshDesktopFiles(const QString& dataHome, const QString& programPath) {
    const QByteArray icon(desktopdata::kIconSvg);
    const std::pair<DesktopFile, QByteArray> files[] = {
        {kEntryFile, DesktopEntryFor(programPath).toUtf8()},
        {kMimeFile, QByteArray(desktopdata::kMimeInfo)},
        {kAppIconFile, icon},
        {kTypeIconFile, icon},
    };
    QStringList changed;
    for (const auto& [file, content] : files) {
        if (WriteIfChanged(dataHome + u'/' + QString::fromLatin1(file.Path), content) &&
            !changed.contains(QString::fromLatin1(file.Folder)))
            changed << QString::fromLatin1(file.Folder);
    }
    return changed;
}

void UpdateDesktopCaches(const QString& dataHome, const QStringList& changedFolders) {
    if (changedFolders.contains(QStringLiteral("applications")))
        StartTool("update-desktop-database", {dataHome + QStringLiteral("/applications")});
    if (changedFolders.contains(QStringLiteral("mime")))
        StartTool("update-mime-database", {dataHome + QStringLiteral("/mime")});
    // An icon cache that exists but misses the new icons would hide them; without one the
    // desktop reads the folder directly.
    const QString hicolor = dataHome + QStringLiteral("/icons/hicolor");
    if (changedFolders.contains(QStringLiteral("icons")) &&
        QFile::exists(hicolor + QStringLiteral("/icon-theme.cache")))
        StartTool("gtk-update-icon-cache",
                  {QStringLiteral("-q"), QStringLiteral("-t"), QStringLiteral("-f"), hicolor});
}

void RefreshDesktopIntegration() {
    if (DesktopIntegrationDisabled()) return;
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString program = QCoreApplication::applicationFilePath();
    if (dataHome.isEmpty() || program.isEmpty()) return;
    UpdateDesktopCaches(dataHome, RefreshDesktopFiles(dataHome, program));
}

QIcon ApplicationIcon() {
    QIcon icon;
    const QByteArray svg(desktopdata::kIconSvg);
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        QBuffer buffer;
        buffer.setData(svg);
        QImageReader reader(&buffer, "svg");
        reader.setScaledSize(QSize(size, size));
        const QImage image = reader.read();
        if (!image.isNull()) icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

} // namespace ov
