#include "app/bookmarkbox.h"

#include <QCoreApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <vector>

using namespace vl;

TEST(BookmarkBox, EnterPostsGoToBookmark) {
    CBookmarkBox box;
    box.setEditable(true);
    std::vector<int> posted;
    box.postCommand = [&](int command) { posted.push_back(command); };
    QTest::keyClick(&box, Qt::Key_A);
    QTest::keyClick(&box, Qt::Key_Return);
    EXPECT_TRUE(posted.empty()); // posted, not sent
    QCoreApplication::processEvents();
    EXPECT_EQ(posted, std::vector<int>{CBookmarkBox::kGoToBookmark});
    EXPECT_EQ(box.currentText(), "a"); // the box saw the keys too
}
