#include <QApplication>
#include <QLocale>
#include <QMainWindow>

#include "io/NumberText.h"
#include "scene/AppState.h"

namespace {

// Display texts of numbers (coordinates in messages and panels) follow the user's locale,
// without digit grouping, to 15 significant digits.
void InstallLocaleNumberText() {
    ov::SetLocaleNumberFormatter([](double value) {
        QLocale locale;
        locale.setNumberOptions(QLocale::OmitGroupSeparator);
        return locale.toString(value, 'g', 15).toStdString();
    });
    const QString point = QLocale().decimalPoint();
    ov::SetLocaleDecimalPoint(point.size() == 1 && point[0].unicode() < 128 ? point[0].toLatin1() : '.');
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
