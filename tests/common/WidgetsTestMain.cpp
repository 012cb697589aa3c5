#include <QApplication>
#include <gtest/gtest.h>

#include "PrivateHome.h"
#include "toolkit/widgets/Application.h"

int main(int argc, char** argv) {
    const TPrivateHome home;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Application->Initialize(argc, argv); // Qt's own texts in Japanese, as in the programs
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
