#include <QGuiApplication>
#include <gtest/gtest.h>

#include "PrivateHome.h"

int main(int argc, char** argv) {
    const TPrivateHome home;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
