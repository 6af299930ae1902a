#include "app/desktop/Startup.h"
#include "io/TextFile.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    ov::IgnoreFileSizeLimitSignal();
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Orthovane");
    QApplication::setApplicationName("Orthovane");
    return ov::RunApplication(app);
}
