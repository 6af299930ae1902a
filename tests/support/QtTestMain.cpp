// Test entry point for code that needs a Qt application on the offscreen platform (unless
// another one is asked for): a QGuiApplication for fonts, images and painting, or with
// ORTHOVANE_TEST_WIDGETS a QApplication for widget tests. Desktop-file refreshing and the
// single-instance server stay off unless a test turns them on, and settings go to a
// folder of the run's own.
#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>
#include <cstdlib>
#ifdef ORTHOVANE_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("ORTHOVANE_NO_DESKTOP_INTEGRATION", "1", 0);
    TestApplication app(argc, argv);
    QCoreApplication::setOrganizationName("OrthovaneTests");
    QCoreApplication::setApplicationName("OrthovaneTests");
    // Settings of this run only: tests running side by side must not see each other's
    // remembered choices, nor the user's.
    const QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
