#include "Version.h"
#include "app/desktop/Startup.h"
#include "io/TextFile.h"

#include <QApplication>
#include <cstdio>
#include <cstring>

namespace {

const char* const kUsage =
    "usage: orthovane [FILE.ovp]...\n"
    "Opens the projects named, each in a document window, or a new document. When the\n"
    "program runs already, the files are opened there.\n"
    "  --help     show this text\n"
    "  --version  show the version\n"
    "orthovane-cli works on projects without a window (orthovane-cli --help).\n";

// --help and --version are answered on the terminal, before any window or display is needed.
bool AnsweredOnTerminal(int argc, char* argv[]) {
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return true;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("orthovane %s\n", ov::kVersion);
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    if (AnsweredOnTerminal(argc, argv)) return 0;
    ov::IgnoreFileSizeLimitSignal();
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Orthovane");
    QApplication::setApplicationName("Orthovane");
    QApplication::setApplicationVersion(ov::kVersion);
    return ov::RunApplication(app);
}
