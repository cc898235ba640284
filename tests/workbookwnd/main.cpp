// The window tests need an application object: offscreen unless a platform is chosen or
// VORLANE_TESTS_ON_X asks for an X server (tests/common/ownxserver.h). The function table is bound
// once, as the program does at start.
#include "functions/bindall/bindall.h"
#include "tests/common/ownxserver.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    vl::testx::RunUnderOwnXServer(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    vl::BindAllFunctions();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
