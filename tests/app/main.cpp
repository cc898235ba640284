// The shell's tests need an application object: offscreen unless a platform is chosen or
// VORLANE_TESTS_ON_X asks for an X server (tests/common/ownxserver.h).
#include "tests/common/ownxserver.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    vl::testx::RunUnderOwnXServer(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
