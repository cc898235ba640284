// The refusal of an image path longer than the record holds, shown after a file picked in the
// real chooser, in the real box, by the worksheet page and by the container window's Window
// page: it is the page's, it takes the keys typed to answer it (Return, Escape, Space), and
// the keyboard comes back to the page. On X each runs without a window manager and under one.

#include "dialogs/chart/chartpage.h"
#include "dialogs/chart/containerdlg.h"
#include "formatpagekeys.h"
#include "model/blockobject.h"
#include "model/container.h"
#include "tests/common/userkeys.h"
#include "tests/common/waits.h"
#include "tests/common/windowmanager.h"
#include "ui/uiservices.h"

#include <QFile>
#include <QFileDialog>
#include <QKeySequence>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTimer>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>
#include <xcb/xcb.h>

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
            if (!testkeys::OnX()) GTEST_SKIP() << "a window manager needs X";
            if (QStandardPaths::findExecutable(QStringLiteral("openbox")).isEmpty())
                GTEST_SKIP() << "openbox is missing (tools/install-deps.sh brings it)";
            const QString why = manager.Start();
            ASSERT_TRUE(why.isEmpty()) << why.toStdString();
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
    // Whether the keys typed next reach the page: the program and, on X, the server too say its
    // window has the keyboard (the server hands it back some time after the box closes).
    bool KeysInPage(QWidget* page) {
        return testwait::Until([page] {
            return testwait::KeyWindow() == page->window()->windowHandle() &&
                   QApplication::focusWidget() && page->isAncestorOf(QApplication::focusWidget()) &&
                   (!testkeys::OnX() || ServerFocus() == page->window()->winId());
        });
    }
    static WId ServerFocus() {
        auto* x = qApp->nativeInterface<QNativeInterface::QX11Application>();
        if (!x) return 0;
        xcb_connection_t* c = x->connection();
        xcb_get_input_focus_reply_t* reply =
            xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr);
        const WId focus = reply ? reply->focus : 0;
        free(reply);
        return focus;
    }

    // A page that refuses the long path: the key that browses, the key that takes the
    // keyboard to its path field (none where the field keeps it through Browse), and the path
    // stored from it (`live`: the page stores what is typed at once, else only on Apply).
    struct RefusingPage {
        QPointer<QWidget> page;
        QLineEdit* field = nullptr;
        testkeys::Stroke browse;
        std::optional<testkeys::Stroke> toField;
        std::function<std::string()> stored;
        bool live = false;
    };

    // Browse by its key, the long file picked, the refusal answered by each key in turn; after
    // each the refusal left the path field as it was, and a letter typed is added to it.
    void AnswerEachWay(const std::function<RefusingPage()>& open) {
        // The fixture's services come back after the real ones, which leave none behind them.
        const struct Restore {
            wndtest::FakeUi& ui;
            ~Restore() { SetUiServices(&ui); }
        } restore{ui};
        RealBoxesUi boxes;
        boxes.picked = LongFile();
        const RefusingPage refusing = open();
        QPointer<QWidget> page = refusing.page;
        ASSERT_FALSE(page.isNull());
        ASSERT_NE(refusing.field, nullptr);
        const struct {
            Qt::Key answer;
            Qt::Key letter;
        } kAnswers[] = {
            {Qt::Key_Return, Qt::Key_X}, {Qt::Key_Escape, Qt::Key_Y}, {Qt::Key_Space, Qt::Key_Z}};
        QString typed;
        for (size_t i = 0; i < std::size(kAnswers); ++i) {
            SCOPED_TRACE(testkeys::XName({kAnswers[i].answer}).toStdString());
            boxes.answerKey = kAnswers[i].answer;
            ASSERT_TRUE(KeysInPage(page));
            ASSERT_TRUE(testkeys::Type({refusing.browse}));
            ASSERT_TRUE(testwait::Until([&] { return boxes.boxes.size() == i + 1; }));
            ASSERT_FALSE(boxes.owners.at(i).isNull());
            EXPECT_EQ(boxes.owners[i]->window(), page->window());
            EXPECT_TRUE(boxes.boxes[i].text.contains(QStringLiteral("255")))
                << boxes.boxes[i].text.toStdString();
            EXPECT_TRUE(KeysInPage(page)) << "the keyboard did not come back to the page";
            EXPECT_EQ(QApplication::activeWindow(), page->window());
            EXPECT_EQ(refusing.field->text(), typed);
            EXPECT_EQ(refusing.stored(), refusing.live ? typed.toStdString() : std::string());
            if (refusing.toField) {
                ASSERT_TRUE(testkeys::Type({*refusing.toField}));
            }
            ASSERT_TRUE(testkeys::Type({{kAnswers[i].letter}}));
            typed += QKeySequence(kAnswers[i].letter).toString().toLower();
            EXPECT_TRUE(testwait::Until([&] { return refusing.field->text() == typed; }))
                << "the keys went elsewhere: " << refusing.field->text().toStdString();
        }
    }

    // Format > Worksheet opened from the menu: Browse is Alt+R, the path's label Alt+M.
    RefusingPage WorksheetPage() {
        SelectBlock();
        CFormatPage* page = OpenByKeys(kPages[5]);
        return {page,
                page ? page->findChild<QLineEdit*>(QStringLiteral("id205")) : nullptr,
                {Qt::Key_R, Qt::AltModifier},
                testkeys::Stroke{Qt::Key_M, Qt::AltModifier},
                [this] { return std::string(Book().tree.active->view.background.imagePath); },
                true};
    }

    // The container window on a container of the worksheet, on its Window page, the path
    // field holding the keyboard: Browse is Alt+B.
    RefusingPage ContainerWindowPage() {
        auto made = NewBlockObject<CContainer>();
        if (!made) return {};
        InitContainerDefaults(*made, nullptr, nullptr);
        made->settings.id = 3;
        CContainer& container = *made;
        LinkContainer(*Book().tree.active, std::move(made));
        Active()->OpenContainerProperties(container);
        CContainerPropertiesDlg* dlg = Active()->ContainerProperties();
        if (!dlg || !testwait::UntilActive(dlg)) return {};
        dlg->Tabs()->setCurrentIndex(1);
        QWidget* page = dlg->Page(CContainerPropertiesDlg::kChartPages + 1);
        auto* field = page->findChild<QLineEdit*>(QStringLiteral("id205"));
        if (!field || dlg->ShownPage() != CContainerPropertiesDlg::kChartPages + 1) return {};
        field->setFocus();
        return {page, field, {Qt::Key_B, Qt::AltModifier}, std::nullopt, [&container, dlg] {
                    return std::string(container.settings.background.imagePath) +
                           dlg->Working().settings.background.imagePath;
                }};
    }

    testx::COwnWindowManager manager;
};

// The same, on the worksheet page and the container's Window page, bare and managed.
TEST_F(ImagePathRefusalTest, WorksheetPageAnsweredByKeysWithoutAWindowManager) {
    Start(false);
    if (HasFatalFailure()) return;
    AnswerEachWay([this] { return WorksheetPage(); });
}

TEST_F(ImagePathRefusalTest, WorksheetPageAnsweredByKeysUnderAWindowManager) {
    Start(true);
    if (IsSkipped() || HasFatalFailure()) return;
    AnswerEachWay([this] { return WorksheetPage(); });
}

TEST_F(ImagePathRefusalTest, ContainerPageAnsweredByKeysWithoutAWindowManager) {
    Start(false);
    if (HasFatalFailure()) return;
    AnswerEachWay([this] { return ContainerWindowPage(); });
}

TEST_F(ImagePathRefusalTest, ContainerPageAnsweredByKeysUnderAWindowManager) {
    Start(true);
    if (IsSkipped() || HasFatalFailure()) return;
    AnswerEachWay([this] { return ContainerWindowPage(); });
}

} // namespace

} // namespace vl
