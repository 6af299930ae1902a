#include <iostream>
#include <memory>

#include <QGuiApplication>
#include <QtGlobal>

#include "cli/CliCommands.h"
#include "io/TextFile.h"

namespace {

// Qt's own notes (a missing runtime folder, font fallbacks) are not the program's
// messages; only its critical errors reach standard error.
void QtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << message.toStdString() << '\n';
}

} // namespace

int main(int argc, char* argv[]) {
    ov::IgnoreFileSizeLimitSignal();
    std::vector<std::string> args(argv + 1, argv + argc);
    // Rendering paints with Qt, which needs a GUI application for fonts and images. The
    // tool runs without a display, so it always takes the offscreen platform; the other
    // commands do without Qt's start-up.
    std::unique_ptr<QGuiApplication> app;
    if (!args.empty() && args[0] == "render") {
        static int qtArgc = 3;
        static char name[] = "orthovane-cli", platform[] = "-platform", offscreen[] = "offscreen";
        static char* qtArgv[] = {name, platform, offscreen, nullptr};
        qInstallMessageHandler(QtMessages);
        app = std::make_unique<QGuiApplication>(qtArgc, qtArgv);
    }
    return ov::cli::RunMain(args, std::cout, std::cerr);
}
