// Registration of the project file type with the desktop: the desktop entry's Exec line,
// the files written into a data folder, and the icon.

#include "app/desktop/DesktopIntegration.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

using namespace ov;

namespace {

// The argument a desktop reads back from an Exec line holding exactly one, following the
// desktop entry rules: first the string escapes of every value, then the quoting.
QString ReadExecArgument(const QString& value, bool* ok) {
    QString unescaped;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == u'\\' && i + 1 < value.size()) {
            const QChar next = value[++i];
            unescaped += next == u'n'   ? QChar(u'\n')
                         : next == u't' ? QChar(u'\t')
                         : next == u'r' ? QChar(u'\r')
                         : next == u's' ? QChar(u' ')
                                        : next;
        } else {
            unescaped += value[i];
        }
    }
    *ok = true;
    QString argument;
    if (unescaped.startsWith(u'"')) {
        *ok = unescaped.size() >= 2 && unescaped.endsWith(u'"');
        for (qsizetype i = 1; i + 1 < unescaped.size(); ++i) {
            QChar c = unescaped[i];
            if (c == u'\\' && i + 2 < unescaped.size()) {
                c = unescaped[++i];
                *ok = *ok && (c == u'"' || c == u'`' || c == u'$' || c == u'\\');
            } else if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') {
                *ok = false; // must have been escaped
            }
            argument += c;
        }
    } else {
        for (QChar c : unescaped)
            *ok = *ok && !QStringLiteral(" \t\n\"'\\><~|&;$*?#()`").contains(c);
        argument = unescaped;
    }
    // Field codes: a literal percent is written twice.
    QString plain;
    for (qsizetype i = 0; i < argument.size(); ++i) {
        if (argument[i] == u'%') {
            *ok = *ok && i + 1 < argument.size() && argument[i + 1] == u'%';
            ++i;
        }
        plain += argument[i];
    }
    return plain;
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
    const QString paths[] = {"/opt/Ortho Vane/bin/orthovane",
                             "/home/a/$HOME/`x`/orthovane",
                             "/home/a/back\\slash",
                             "/home/a/100%/orthovane",
                             "/home/a/\"quoted\"/it's",
                             "/tmp/tab\there/x",
                             "/tmp/new\nline/x",
                             "/tmp/(paren) & ; | <> ~ * ? #"};
    for (const QString& path : paths) {
        const QString quoted = QuoteDesktopExecArgument(path);
        bool ok = false;
        EXPECT_EQ(ReadExecArgument(quoted, &ok), path) << quoted.toStdString();
        EXPECT_TRUE(ok) << quoted.toStdString();
        EXPECT_FALSE(quoted.contains(u'\n'));
    }
}

TEST(DesktopIntegration, TheEntryOpensProjectsWithTheOpenSwitch) {
    const QString entry = DesktopEntryFor("/opt/Ortho Vane/orthovane");
    EXPECT_TRUE(entry.startsWith("[Desktop Entry]\n"));
    EXPECT_EQ(Line(entry, "Exec"), "\"/opt/Ortho Vane/orthovane\" -DDE %f");
    EXPECT_EQ(Line(entry, "Type"), "Application");
    EXPECT_EQ(Line(entry, "Icon"), "orthovane");
    EXPECT_TRUE(Line(entry, "MimeType").split(u';').contains("application/x-orthovane-project"));
    EXPECT_EQ(entry.count("Exec="), 1);
}

TEST(DesktopIntegration, RefreshingWritesTheFilesOnceAndFollowsTheProgram) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString data = home.path() + "/share";
    EXPECT_EQ(RefreshDesktopFiles(data, "/opt/orthovane/bin/orthovane"),
              (QStringList{"applications", "mime", "icons"}));

    const QString entry = ReadText(data + "/applications/orthovane.desktop");
    EXPECT_EQ(Line(entry, "Exec"), "/opt/orthovane/bin/orthovane -DDE %f");
    EXPECT_TRUE(QFileInfo(data + "/icons/hicolor/scalable/apps/orthovane.svg").size() > 0);
    EXPECT_TRUE(
        QFileInfo(data + "/icons/hicolor/scalable/mimetypes/application-x-orthovane-project.svg")
            .size() > 0);

    // The MIME package names the type, its description and the pattern.
    QFile mime(data + "/mime/packages/orthovane.xml");
    ASSERT_TRUE(mime.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&mime);
    QString type, comment, glob;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == u"mime-type") type = xml.attributes().value("type").toString();
        if (xml.name() == u"glob") glob = xml.attributes().value("pattern").toString();
        if (xml.name() == u"comment") comment = xml.readElementText();
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(type, "application/x-orthovane-project");
    EXPECT_EQ(comment, "Orthovane Scene File");
    EXPECT_EQ(glob, "*.ovp");

    // Nothing to do the second time; a program moved elsewhere rewrites the entry alone.
    const QDateTime written = QFileInfo(data + "/mime/packages/orthovane.xml").lastModified();
    EXPECT_TRUE(RefreshDesktopFiles(data, "/opt/orthovane/bin/orthovane").isEmpty());
    EXPECT_EQ(RefreshDesktopFiles(data, "/home/u/build/orthovane"), QStringList{"applications"});
    EXPECT_EQ(Line(ReadText(data + "/applications/orthovane.desktop"), "Exec"),
              "/home/u/build/orthovane -DDE %f");
    EXPECT_EQ(QFileInfo(data + "/mime/packages/orthovane.xml").lastModified(), written);
}

TEST(DesktopIntegration, AnUnwritableDataFolderIsIgnored) {
    QTemporaryDir home;
    QFile blocker(home.path() + "/share");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    blocker.close();
    EXPECT_TRUE(RefreshDesktopFiles(home.path() + "/share", "/usr/bin/orthovane").isEmpty());
    UpdateDesktopCaches(home.path() + "/share",
                        {"applications", "mime", "icons"}); // tools fail quietly
}

TEST(DesktopIntegration, TheSharedMimeDatabaseRecognisesProjectFiles) {
    const QString tool = QStandardPaths::findExecutable("update-mime-database");
    if (tool.isEmpty()) GTEST_SKIP() << "update-mime-database is not installed";
    QTemporaryDir home;
    const QString data = home.path() + "/share";
    RefreshDesktopFiles(data, "/usr/bin/orthovane");
    QProcess update;
    update.start(tool, {data + "/mime"});
    ASSERT_TRUE(update.waitForFinished(30000));
    ASSERT_EQ(update.exitCode(), 0) << update.readAllStandardError().toStdString();
    const QString globs = ReadText(data + "/mime/globs2");
    EXPECT_TRUE(globs.contains("application/x-orthovane-project:*.ovp")) << globs.toStdString();
}

TEST(DesktopIntegration, TheSwitchForTestsAndSandboxes) {
    const QByteArray saved = qgetenv("ORTHOVANE_NO_DESKTOP_INTEGRATION");
    qputenv("ORTHOVANE_NO_DESKTOP_INTEGRATION", "1");
    EXPECT_TRUE(DesktopIntegrationDisabled());
    qputenv("ORTHOVANE_NO_DESKTOP_INTEGRATION", "0");
    EXPECT_FALSE(DesktopIntegrationDisabled());
    qputenv("ORTHOVANE_NO_DESKTOP_INTEGRATION", "");
    EXPECT_FALSE(DesktopIntegrationDisabled());
    qunsetenv("ORTHOVANE_NO_DESKTOP_INTEGRATION");
    EXPECT_FALSE(DesktopIntegrationDisabled());
    qputenv("ORTHOVANE_NO_DESKTOP_INTEGRATION", saved);
}

TEST(DesktopIntegration, TheIconIsDrawnAtEverySize) {
    const QIcon icon = ApplicationIcon();
    ASSERT_FALSE(icon.isNull());
    for (int size : {16, 48, 256}) {
        const QImage image = icon.pixmap(size, size).toImage();
        ASSERT_EQ(image.width(), size);
        // Opaque inside its frame, transparent in the rounded corner.
        EXPECT_EQ(qAlpha(image.pixel(size / 2, size / 2)), 255) << size;
        EXPECT_LT(qAlpha(image.pixel(0, 0)), 255) << size;
    }
}
