#include "app/desktop/Startup.h"

#include "app/desktop/DesktopIntegration.h"
#include "app/desktop/LocalPath.h"
#include "app/desktop/QtDesktop.h"
#include "app/desktop/ShellRules.h"
#include "app/desktop/SingleInstance.h"
#include "app/desktop/WindowPlacement.h"
#include "app/windows/frmMain.h"
#include "io/NumberText.h"
#include "platform/Prompt.h"
#include "scene/AppState.h"
#include "shapes/CurvePoints.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QSettings>
#include <QTimer>
#include <QUrl>
#include <utility>

namespace ov {

namespace {

std::string AbsolutePath(const QString& argument, const QString& workingDirectory) {
    QString path = argument;
    // Some launchers hand over URIs of local files although the entry asks for paths.
    if (path.startsWith(QStringLiteral("file:"))) path = QUrl(path).toLocalFile();
    path = QDir::cleanPath(QDir(workingDirectory).absoluteFilePath(path));
    return LocalPath(path);
}

} // namespace

CommandLine ReadCommandLine(const QStringList& arguments, const QString& workingDirectory) {
    CommandLine result;
    const bool openCommand = StartsWithDdeSwitch(arguments.join(u' ').toStdString());
    bool optionsEnded = false;
    for (qsizetype i = openCommand ? 1 : 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (!optionsEnded && argument == QStringLiteral("--")) {
            optionsEnded = true;
            continue;
        }
        if (argument.isEmpty() || (!optionsEnded && argument.startsWith(u'-'))) continue;
        result.Files.push_back(AbsolutePath(argument, workingDirectory));
    }
    result.OpenUntitled = !openCommand && result.Files.empty();
    return result;
}

void OpenStartupDocuments(frmMain& main, const CommandLine& commandLine) {
    if (commandLine.OpenUntitled) main.NewDocument();
    for (const std::string& path : commandLine.Files)
        main.OpenProject(path);
}

void BringToFront(frmMain& main) {
    main.setWindowState((main.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    main.show();
    main.raise();
    main.activateWindow();
}

InstanceServer* ServeOpenCommands(frmMain& main, const QString& serverName,
                                  std::function<bool()> busy) {
    auto* server = new InstanceServer(
        [&main](const std::string& path) {
            if (main.OpenProject(path)) BringToFront(main);
        },
        std::move(busy), &main);
    if (server->Listen(serverName)) return server;
    delete server;
    return nullptr;
}

void InstallLocaleNumberText() {
    // Without digit grouping, to 15 significant digits.
    SetLocaleNumberFormatter([](double value) {
        QLocale locale;
        locale.setNumberOptions(QLocale::OmitGroupSeparator);
        return locale.toString(value, 'g', 15).toStdString();
    });
    const QString point = QLocale().decimalPoint();
    SetLocaleDecimalPoint(point.size() == 1 && point[0].unicode() < 128 ? point[0].toLatin1()
                                                                        : '.');
}

namespace {

// The points all curves may hold at once: the setting "CurvePointLimit" when it is a
// sensible number, the default otherwise. A curve that does not fit is named in a message,
// one for every burst of them (a repaint may cut many).
void ApplyCurveLimit(QSettings& settings) {
    bool ok = false;
    const qlonglong limit = settings.value(QStringLiteral("CurvePointLimit")).toLongLong(&ok);
    CurveBudget::SetLimit(ok && limit >= 1000 ? static_cast<std::size_t>(limit) : CurveBudget::kDefaultLimit);
    CurveBudget::SetRefusalHandler([](const std::string& message) {
        static bool pending = false;
        if (pending) return;
        pending = true;
        QTimer::singleShot(0, [message] {
            ShowMessage(message, PromptIcon::Warning);
            pending = false;
        });
    });
}

} // namespace

int RunApplication(QApplication& app) {
    InstallLocaleNumberText();
    AppState& state = App();
    state.NodeKeyCounter = 0;
    state.CurrentTool = ToolPick;
    state.PreviousTool = ToolPick;
    state.ActiveScene = nullptr;

    const CommandLine commandLine =
        ReadCommandLine(QApplication::arguments().mid(1), QDir::currentPath());
    const bool integrate = !DesktopIntegrationDisabled();
    const QString serverName = integrate ? InstanceServerName() : QString();
    const bool single = !serverName.isEmpty();
    // A program already running takes the files; without one this instance opens them.
    if (single && !commandLine.Files.empty() &&
        SendToRunningInstance(serverName, commandLine.Files))
        return 0;

    QApplication::setWindowIcon(ApplicationIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("orthovane"));
    QtDesktopServices services;
    if (integrate) RefreshDesktopIntegration();

    frmMain main;
    QSettings settings;
    ApplyCurveLimit(settings);
    RestoreWindowPlacement(main, settings);
    main.show();

    // When another instance serves already (both started at once), this one simply runs on
    // its own.
    if (single)
        ServeOpenCommands(main, serverName, [&services] { return services.EscapeKey().Pumping(); });

    OpenStartupDocuments(main, commandLine);
    const int status = app.exec();
    SaveWindowPlacement(main, settings);
    return status;
}

} // namespace ov
