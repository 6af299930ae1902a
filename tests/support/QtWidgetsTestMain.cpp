// Test entry point for widget tests: a QApplication on the offscreen platform unless another
// one is asked for. Desktop-file refreshing and the single-instance server stay off unless
// a test turns them on.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("ORTHOVANE_NO_DESKTOP_INTEGRATION", "1", 0);
    QApplication app(argc, argv);
    QApplication::setOrganizationName("OrthovaneTests");
    QApplication::setApplicationName("OrthovaneTests");
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
