#include "app/desktop/Startup.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Orthovane");
    QApplication::setApplicationName("Orthovane");
    return ov::RunApplication(app);
}
