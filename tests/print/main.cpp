// Drawing needs a QGuiApplication for its fonts; tests run it on the offscreen platform so
// that they need no display and their images do not depend on one.
#include <QGuiApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
