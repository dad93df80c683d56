#include "drawing/Fonts.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv) {
    // Screens are real widgets; the offscreen platform lets them run without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    vaporica::installFontSubstitutes();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
