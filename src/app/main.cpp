#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Orthovane");
    QApplication::setApplicationName("Orthovane");
    QMainWindow window;
    window.setWindowTitle("Orthovane");
    window.resize(1024, 720);
    window.show();
    return QApplication::exec();
}
