#include <QApplication>
#include <QLocale>
#include <QMainWindow>

#include "io/NumberText.h"

namespace {

// Display texts of numbers (coordinates in messages and panels) follow the user's locale,
// without digit grouping, to 15 significant digits.
void InstallLocaleNumberText() {
    ov::SetLocaleNumberFormatter([](double value) {
        QLocale locale;
        locale.setNumberOptions(QLocale::OmitGroupSeparator);
        return locale.toString(value, 'g', 15).toStdString();
    });
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Orthovane");
    QApplication::setApplicationName("Orthovane");
    InstallLocaleNumberText();

    QMainWindow window;
    window.setWindowTitle("Orthovane");
    window.resize(1024, 720);
    window.show();
    return QApplication::exec();
}
