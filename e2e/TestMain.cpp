// The start of every end-to-end test executable. The tests draw and compare pictures here, off
// any screen; each program they run is given a platform of its own.
#include <QGuiApplication>
#include <gtest/gtest.h>

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
