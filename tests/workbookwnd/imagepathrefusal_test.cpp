// The worksheet page's refusal of an image path longer than its record holds, shown after a
// file picked in the real chooser, in the real box: it is the page's, it takes the keys typed
// to answer it (Return, Escape, Space), and the keyboard comes back to the page. On X the
// test runs without a window manager; Start(true) runs it under one.

#include "formatpagekeys.h"
#include "tests/common/userkeys.h"
#include "tests/common/waits.h"
#include "tests/common/windowmanager.h"
#include "ui/uiservices.h"

#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace vl {

namespace {

// The real file chooser, where the given path is picked, and the real message boxes, each
// answered by the given key once it has the keyboard.
class RealBoxesUi : public wndtest::FakeUi {
public:
    RealBoxesUi() { realFileDialogs = true; }
    QString ChooseOpenFile(const QString& caption, const QString& folder, const QString& filters,
                           int& index) override {
        QTimer::singleShot(0, &guard_, [this] { Pick(); });
        return FakeUi::ChooseOpenFile(caption, folder, filters, index);
    }
    int MessageBox(const QString& text, const QString& title, uint32_t flags) override {
        QTimer::singleShot(0, &guard_, [this] { Answer(); });
        SetUiServices(nullptr);
        const int answer = UiServices().MessageBox(text, title, flags);
        SetUiServices(this);
        boxes.push_back({text, title, flags});
        return answer;
    }

    QString picked;
    Qt::Key answerKey = Qt::Key_Return;
    std::vector<QPointer<QWidget>> owners;

private:
    // In the chooser's own loop: the path typed into its name field, and Return.
    void Pick() {
        QPointer<QFileDialog> chooser =
            qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_FALSE(chooser.isNull()) << "no chooser open";
        ASSERT_TRUE(testwait::UntilActive(chooser)) << "the chooser did not take the keyboard";
        auto* name = chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(picked);
        EXPECT_TRUE(testkeys::Type({{Qt::Key_Return}}));
        if (!testwait::Until([&] { return chooser.isNull() || !chooser->isVisible(); })) {
            ADD_FAILURE() << "the chooser did not take Return";
            chooser->reject();
        }
    }
    // In the box's own loop: its owner noted, the key typed, and the box gone.
    void Answer() {
        QPointer<QMessageBox> box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_FALSE(box.isNull()) << "no box open";
        owners.push_back(box->parentWidget());
        EXPECT_TRUE(testwait::UntilActive(box)) << "the box did not take the keyboard";
        EXPECT_TRUE(testkeys::Type({{answerKey}}));
        if (!testwait::Until([&] { return box.isNull() || !box->isVisible(); })) {
            ADD_FAILURE() << "the box did not take " << testkeys::XName({answerKey}).toStdString();
            box->reject();
        }
    }

    QObject guard_;
};

class ImagePathRefusalTest : public FormatPageKeysTest {
protected:
    void SetUp() override {}
    // The frame and its book, under a window manager when `managed`.
    void Start(bool managed) {
        if (managed) {
            const QString why = manager.Start();
            if (!why.isEmpty()) GTEST_SKIP() << why.toStdString();
        }
        FormatPageKeysTest::SetUp();
    }
    // A file whose path is one byte longer than the record holds.
    QString LongFile() {
        const std::string name(256 - folder.size() - 1 - 4, 'p');
        const QString path = QString::fromStdString(TempPath(name + ".bmp"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.size();
        EXPECT_EQ(path.toUtf8().size(), 256);
        return path;
    }
    bool KeysInPage(QWidget* page) {
        return testwait::Until([page] {
            return testwait::KeyWindow() == page->windowHandle() && QApplication::focusWidget() &&
                   page->isAncestorOf(QApplication::focusWidget());
        });
    }
    // Browse by Alt+R, the long file picked, the refusal answered by each key in turn.
    void AnswerEachWay() {
        // The fixture's services come back after the real ones, which leave none behind them.
        const struct Restore {
            wndtest::FakeUi& ui;
            ~Restore() { SetUiServices(&ui); }
        } restore{ui};
        RealBoxesUi boxes;
        boxes.picked = LongFile();
        SelectBlock();
        QPointer<CFormatPage> page = OpenByKeys(kPages[5]);
        ASSERT_FALSE(page.isNull());
        auto* field = page->findChild<QLineEdit*>(QStringLiteral("id205"));
        ASSERT_NE(field, nullptr);
        const Qt::Key kAnswers[] = {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Space};
        for (size_t i = 0; i < std::size(kAnswers); ++i) {
            SCOPED_TRACE(testkeys::XName({kAnswers[i]}).toStdString());
            boxes.answerKey = kAnswers[i];
            ASSERT_TRUE(KeysInPage(page));
            ASSERT_TRUE(testkeys::Type({{Qt::Key_R, Qt::AltModifier}}));
            ASSERT_TRUE(testwait::Until([&] { return boxes.boxes.size() == i + 1; }));
            EXPECT_EQ(boxes.owners.at(i).data(), page.data());
            EXPECT_TRUE(boxes.boxes[i].text.contains(QStringLiteral("255")))
                << boxes.boxes[i].text.toStdString();
            EXPECT_TRUE(KeysInPage(page)) << "the keyboard did not come back to the page";
            EXPECT_FALSE(frame->isActiveWindow());
            EXPECT_EQ(field->text(), QString());
            EXPECT_EQ(std::strlen(Book().tree.active->view.background.imagePath), 0u);
        }
    }

    testx::COwnWindowManager manager;
};

TEST_F(ImagePathRefusalTest, AnsweredByKeysWithoutAWindowManager) {
    Start(false);
    AnswerEachWay();
}

} // namespace

} // namespace vl
