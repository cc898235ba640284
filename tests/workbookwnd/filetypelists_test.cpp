// The type lists of the file dialogs as the user sees them in Qt's real dialog: every entry
// shows its text with its patterns, for Open, Save As, Insert Image and Save Selection As
// Image alike.

#include "resources/commandids.h"
#include "wndtest.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QTimer>

namespace vl {

namespace {

class FileTypeListTest : public wndtest::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        NewWindow();
        ui.realFileDialogs = true;
    }
    // The entries of the type box of the next file dialog, which is then cancelled.
    QStringList ShownTypes(const std::function<void()>& open) {
        QStringList shown;
        auto* poll = new QTimer(frame.get());
        QObject::connect(poll, &QTimer::timeout, poll, [poll, &shown] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible()) return;
            poll->stop();
            poll->deleteLater();
            if (auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo")))
                for (int i = 0; i < types->count(); ++i) shown << types->itemText(i);
            dialog->reject();
        });
        poll->start(10);
        open();
        Settle();
        return shown;
    }
};

TEST_F(FileTypeListTest, EveryEntryShowsItsPatterns) {
    const QStringList images = {"PNG (*.png)", "JPEG (*.jpeg)", "BMP (*.bmp)", "All Files (*.*)"};
    const struct {
        const char* what;
        int command;
        bool frameCommand;
        QStringList expected;
    } cases[] = {
        {"Insert Image", ID_INSERT_IMAGE, false, images},
        {"Save Selection As Image", ID_SAVE_AS_IMAGE, false, {"PNG (*.png)"}},
        {"Save As",
         ID_FILE_SAVE_AS,
         false,
         {"Vorlane (*.vln)", "Text (*.txt;*.csv;*.tsv)", "Excel 2003 XML (*.xml)",
          "dBase III+ (*.dbf)", "dBase IV (*.dbf)", "FoxPro 2.x (*.dbf)", "Clipper (*.dbf)",
          "All Files (*.*)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QStringList shown = ShownTypes([&] { Active()->HandleCommand(c.command); });
        EXPECT_EQ(shown, c.expected);
    }
}

} // namespace

} // namespace vl
