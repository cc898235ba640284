// Printing draws with fonts and shows the preview: the tests run a QApplication on the
// offscreen platform so that they need no display and their images do not depend on one.
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
