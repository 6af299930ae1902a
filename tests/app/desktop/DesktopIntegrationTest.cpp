// Registration of the project file type with the desktop: the desktop entry's Exec line, the
// files written into a data folder, and the icon.
#include "app/desktop/DesktopIntegration.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

using namespace ov;

namespace {

// The argument a desktop reads back from an Exec value holding exactly one, by the desktop
// entry rules: string escapes first, then the quoting, then doubled percent signs; ok tells
// whether every character that must be escaped or quoted was.
QString ReadExecArgument(const QString& value, bool& ok) {
    QString s, argument;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i] == u'\\' && i + 1 < value.size() ? value[++i] : QChar();
        s += c.isNull() ? value[i] : c == u'n' ? QChar(u'\n') : c == u't' ? QChar(u'\t') : c == u's' ? QChar(u' ') : c;
    }
    const QString special = QStringLiteral("\"`$\\");
    ok = !s.startsWith(u'"') || (s.size() >= 2 && s.endsWith(u'"'));
    for (qsizetype i = s.startsWith(u'"') ? 1 : 0, end = s.startsWith(u'"') ? s.size() - 1 : s.size(); i < end; ++i) {
        if (!s.startsWith(u'"')) ok = ok && !QStringLiteral(" \t\n\"'\\><~|&;$*?#()`").contains(s[i]);
        else if (s[i] == u'\\') ok = ok && ++i < end && special.contains(s[i]);
        else ok = ok && !special.contains(s[i]);
        if (s[i] == u'%') ok = ok && ++i < end && s[i] == u'%';
        argument += s[i];
    }
    return argument;
}

QString ReadText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}
QString Line(const QString& text, const QString& key) {
    for (const QString& line : text.split(u'\n'))
        if (line.startsWith(key + u'=')) return line.mid(key.size() + 1);
    return {};
}

} // namespace

TEST(DesktopIntegration, ProgramPathsOfAnyShapeSurviveTheExecLine) {
    EXPECT_EQ(QuoteDesktopExecArgument("/usr/bin/orthovane"), "/usr/bin/orthovane");
    for (const QString path : {"/opt/Ortho Vane/bin/orthovane", "/home/a/$HOME/`x`/orthovane", "/home/a/back\\slash",
                               "/home/a/100%/orthovane", "/home/a/\"quoted\"/it's", "/tmp/tab\there/x",
                               "/tmp/new\nline/x", "/tmp/(paren) & ; | <> ~ * ? #"}) {
        const QString quoted = QuoteDesktopExecArgument(path);
        bool ok = false;
        EXPECT_TRUE(ReadExecArgument(quoted, ok) == path && ok && !quoted.contains(u'\n')) << quoted.toStdString();
    }
    const QString entry = DesktopEntryFor("/opt/Ortho Vane/orthovane");
    EXPECT_TRUE(entry.startsWith("[Desktop Entry]\n") && entry.count("Exec=") == 1);
    EXPECT_EQ(Line(entry, "Exec") + " " + Line(entry, "Icon"), "\"/opt/Ortho Vane/orthovane\" -DDE %F orthovane");
    EXPECT_TRUE(Line(entry, "MimeType").split(u';').contains("application/x-orthovane-project"));
}

TEST(DesktopIntegration, RefreshingWritesTheFilesOnceAndFollowsTheProgram) {
    QTemporaryDir home;
    const QString data = home.path() + "/share", mimeFile = data + "/mime/packages/orthovane.xml";
    EXPECT_EQ(RefreshDesktopFiles(data, "/opt/orthovane/bin/orthovane"), (QStringList{"applications", "mime", "icons"}));
    EXPECT_EQ(Line(ReadText(data + "/applications/orthovane.desktop"), "Exec"), "/opt/orthovane/bin/orthovane -DDE %F");
    for (const char* icon : {"apps/orthovane.svg", "mimetypes/application-x-orthovane-project.svg"})
        EXPECT_GT(QFileInfo(data + "/icons/hicolor/scalable/" + icon).size(), 0) << icon;
    QXmlStreamReader xml(ReadText(mimeFile)); // nothing to read is an error too
    QString type, comment, glob;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == u"mime-type") type = xml.attributes().value("type").toString();
        if (xml.name() == u"glob") glob = xml.attributes().value("pattern").toString();
        if (xml.name() == u"comment") comment = xml.readElementText();
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(type + " " + comment + " " + glob, "application/x-orthovane-project Orthovane Scene File *.ovp");

    // Nothing to do the second time; a program moved elsewhere rewrites the entry alone.
    const QDateTime written = QFileInfo(mimeFile).lastModified();
    EXPECT_TRUE(RefreshDesktopFiles(data, "/opt/orthovane/bin/orthovane").isEmpty());
    EXPECT_EQ(RefreshDesktopFiles(data, "/home/u/build/orthovane"), QStringList{"applications"});
    EXPECT_EQ(Line(ReadText(data + "/applications/orthovane.desktop"), "Exec"), "/home/u/build/orthovane -DDE %F");
    EXPECT_EQ(QFileInfo(mimeFile).lastModified(), written);

    // A file where the data folder should be: nothing written, and the cache tools fail quietly.
    QFile blocker(home.path() + "/blocked");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    EXPECT_TRUE(RefreshDesktopFiles(blocker.fileName(), "/usr/bin/orthovane").isEmpty());
    UpdateDesktopCaches(blocker.fileName(), {"applications", "mime", "icons"});
}

TEST(DesktopIntegration, TheSwitchForTestsAndTheIconAtEverySize) {
    const QByteArray saved = qgetenv("ORTHOVANE_NO_DESKTOP_INTEGRATION");
    for (const char* value : {"1", "0", "", static_cast<const char*>(nullptr)}) { // null: not set
        if (value) qputenv("ORTHOVANE_NO_DESKTOP_INTEGRATION", value);
        else qunsetenv("ORTHOVANE_NO_DESKTOP_INTEGRATION");
        EXPECT_EQ(DesktopIntegrationDisabled(), value && value[0] == '1') << (value ? value : "unset");
    }
    qputenv("ORTHOVANE_NO_DESKTOP_INTEGRATION", saved);

    const QIcon icon = ApplicationIcon();
    for (int size : {16, 48, 256}) {
        const QImage image = icon.pixmap(size, size).toImage();
        ASSERT_EQ(image.width(), size);
        // Opaque inside its frame, transparent in the rounded corner.
        EXPECT_TRUE(qAlpha(image.pixel(size / 2, size / 2)) == 255 && qAlpha(image.pixel(0, 0)) < 255) << size;
    }
}
