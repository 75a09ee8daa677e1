#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Headless unless told otherwise; no theme, whose native dialogs tests could not answer.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qunsetenv("QT_QPA_PLATFORMTHEME");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
