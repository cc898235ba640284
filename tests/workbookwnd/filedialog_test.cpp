// Open and Save As through Qt's real file dialog: the type chosen in its type box decides the
// form written and the reader used, whatever the file's extension.

#include "core/settings.h"
#include "dialogs/filedlg.h"
#include "model/workbook.h"
#include "resources/commandids.h"
#include "tests/common/waits.h"
#include "wndtest.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>

namespace vl {

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

const QString kMemo =
    QStringLiteral("A note longer than any character field can hold. ").repeated(6).trimmed();

class FileDialogTest : public wndtest::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ui.realFileDialogs = true;
    }
    // Answers the next file dialog as a user does: the filter's place (from 1) in the type
    // box by Home and Down, then the path typed into the name box and Enter. `shown` gets
    // the type box's text and whether its label leads to it.
    void AnswerFileDialog(int filter, const std::string& path) {
        auto* poll = new QTimer(frame.get());
        QObject::connect(poll, &QTimer::timeout, poll, [this, poll, filter, path] {
            // Keys go to the dialog once it is the active window, as they do for a user.
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible() || !dialog->isActiveWindow()) return;
            poll->stop();
            poll->deleteLater();
            auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            auto* label = dialog->findChild<QLabel*>(QStringLiteral("fileTypeLabel"));
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (!types || !label || !name) return dialog->reject();
            labelLeads = label->buddy() == types && label->text().contains(QLatin1String("&t"));
            types->setFocus();
            QTest::keyClick(types, Qt::Key_Home);
            for (int i = 1; i < filter; ++i) QTest::keyClick(types, Qt::Key_Down);
            shown = types->currentText();
            name->setFocus();
            QTest::keyClicks(name, QString::fromStdString(path));
            QAbstractItemView* popup = name->completer() ? name->completer()->popup() : nullptr;
            if (popup && popup->isVisible()) popup->hide();
            QTest::keyClick(name, Qt::Key_Return);
        });
        poll->start(10);
    }
    void SaveAs(int filter, const std::string& path) {
        AnswerFileDialog(filter, path);
        Active()->HandleCommand(ID_FILE_SAVE_AS);
        Settle();
    }
    void Open(int filter, const std::string& path) {
        AnswerFileDialog(filter, path);
        frame->OnCommand(ID_FILE_OPEN);
        Settle();
    }
    void CloseActive() {
        frame->MdiArea()->closeActiveSubWindow();
        Settle();
    }
    // A header row over a name, an amount and a note too long for a character field.
    void TypeTable() {
        Enter(0, 0, QStringLiteral("NAME"));
        Enter(1, 0, QStringLiteral("AMOUNT"));
        Enter(2, 0, QStringLiteral("NOTE"));
        Enter(0, 1, QStringLiteral("North"));
        Enter(1, 1, QStringLiteral("12.5"));
        Enter(2, 1, kMemo);
    }
    void ExpectTable(const char* what) const {
        EXPECT_EQ(CellText(0, 0), "NAME") << what;
        EXPECT_EQ(CellText(1, 0), "AMOUNT") << what;
        EXPECT_EQ(CellText(2, 0), "NOTE") << what;
        EXPECT_EQ(CellText(0, 1), "North") << what;
        EXPECT_EQ(CellText(1, 1), "12.5") << what;
        EXPECT_EQ(CellText(2, 1), kMemo.toStdString()) << what;
    }

    QString shown;
    bool labelLeads = false;
};

bool NativeBinary(const std::string& bytes) {
    return bytes.size() > 2 && bytes[0] >= '1' && bytes[0] <= '3' && std::isdigit(bytes[1]);
}

// Each Save As filter in turn writes its own form under a name that does not tell it, asks
// for the options of the foreign forms, and the window's book takes the chosen type; each
// file read back through the Open filter of its type gives every cell again.
TEST_F(FileDialogTest, EachSaveAndOpenFilterWritesAndReadsItsOwnForm) {
    Profile().fileFormat = kFormatBinary;
    ASSERT_NE(NewWindow(), nullptr);
    TypeTable();
    struct Case {
        int filter;
        const char* name;
        const char* shownText;
        uint8_t family;
        int textDialogs, xbaseDialogs;
        std::function<bool(const std::string&)> form;
    };
    const auto lead = [](unsigned char first) {
        return [first](const std::string& b) { return !b.empty() && (unsigned char)b[0] == first; };
    };
    const Case cases[] = {
        {1, "v.out", "Vorlane (*.vln)", kFileNative, 0, 0, NativeBinary},
        {2, "t.out", "Text (*.txt;*.csv;*.tsv)", kFileText, 1, 0,
         [](const std::string& b) { return b.rfind("NAME", 0) == 0; }},
        {3, "x.out", "Excel 2003 XML (*.xml)", kFileExcelXml, 0, 0,
         [](const std::string& b) {
             return b.rfind("<?xml", 0) == 0 && b.find("<Workbook xmlns=") != std::string::npos;
         }},
        {4, "d3.out", "dBase III+ (*.dbf)", kFileDBase3, 0, 1, lead(0x83)},
        {5, "d4.out", "dBase IV (*.dbf)", kFileDBase4, 0, 1, lead(0x8B)},
        {6, "f.out", "FoxPro 2.x (*.dbf)", kFileFoxPro, 0, 1, lead(0x03)},
        {7, "c.out", "Clipper (*.dbf)", kFileClipper, 0, 1, lead(0x03)},
        {8, "a.out", "All Files (*.*)", kFileNative, 0, 0, NativeBinary},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.textDialogs.clear();
        ui.xbaseDialogs.clear();
        const std::string path = TempPath(c.name);
        SaveAs(c.filter, path);
        EXPECT_EQ(shown, QString::fromLatin1(c.shownText));
        EXPECT_TRUE(labelLeads);
        EXPECT_TRUE(c.form(ReadAll(path))) << ReadAll(path).substr(0, 16);
        EXPECT_EQ(Book().fileFamily, c.family);
        EXPECT_EQ(Active()->Path(), path);
        EXPECT_FALSE(Active()->IsModified());
        EXPECT_EQ(int(ui.textDialogs.size()), c.textDialogs);
        EXPECT_EQ(int(ui.xbaseDialogs.size()), c.xbaseDialogs);
        EXPECT_TRUE(ui.boxes.empty());
    }
    CloseActive();
    ASSERT_EQ(OpenDocumentCount(), 0);

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.textDialogs.clear();
        ui.xbaseDialogs.clear();
        Open(c.filter, TempPath(c.name));
        ASSERT_EQ(OpenDocumentCount(), 1);
        EXPECT_EQ(Book().fileFamily, c.family);
        EXPECT_EQ(int(ui.textDialogs.size()), c.textDialogs);
        EXPECT_EQ(int(ui.xbaseDialogs.size()), c.xbaseDialogs);
        ExpectTable(c.name);
        CloseActive();
    }
    EXPECT_TRUE(ui.boxes.empty());
}

// The type box overrides the extension: an ".xml" file chosen as Text is read as lines of
// text, and a table named ".dbf" chosen through the first filter is a dBase IV table.
// A name typed first keeps its extension when the type picked after it takes that extension
// too ("budget.csv" and the text type); one the type does not take gets the type's first.
TEST_F(FileDialogTest, PickingATypeKeepsANameItTakes) {
    ASSERT_NE(NewWindow(), nullptr);
    Enter(0, 0, QStringLiteral("7"));
    const struct {
        const char* typed;
        int filter;
        const char* kept;
    } rows[] = {{"budget.csv", 2, "budget.csv"}, {"budget.tsv", 2, "budget.tsv"},
                {"budget.xml", 2, "budget.txt"}, {"sheet.csv", 3, "sheet.xml"},
                {"notes.txt", 2, "notes.txt"},   {"plain", 2, "plain"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        QString named;
        auto* poll = new QTimer(frame.get());
        QObject::connect(poll, &QTimer::timeout, poll, [&, poll] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible() || !dialog->isActiveWindow()) return;
            poll->stop();
            poll->deleteLater();
            auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (!types || !name) return dialog->reject();
            name->setFocus();
            name->selectAll();
            QTest::keyClicks(name, QString::fromStdString(TempPath(row.typed)));
            types->setFocus();
            QTest::keyClick(types, Qt::Key_Home);
            for (int i = 1; i < row.filter; ++i) QTest::keyClick(types, Qt::Key_Down);
            named = QFileInfo(name->text()).fileName();
            dialog->reject();
        });
        poll->start(10);
        Active()->HandleCommand(ID_FILE_SAVE_AS);
        Settle();
        EXPECT_EQ(named, row.kept);
    }
}

// Share of the widget's outermost two pixels all round drawn in the highlight colour.
double FramedShare(QWidget* widget) {
    const QImage image = widget->grab().toImage();
    const QColor highlight = QApplication::palette().color(QPalette::Active, QPalette::Highlight);
    int on = 0, all = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            if (x > 1 && y > 1 && x < image.width() - 2 && y < image.height() - 2) continue;
            const QColor c = image.pixelColor(x, y);
            ++all;
            on += std::abs(c.red() - highlight.red()) <= 24 &&
                  std::abs(c.green() - highlight.green()) <= 24 &&
                  std::abs(c.blue() - highlight.blue()) <= 24;
        }
    return all ? double(on) / all : 0;
}

// Tab round the Open dialog in an empty folder: the places list and the empty file list show
// a frame while they have the keys, and none once the keys went on.
TEST_F(FileDialogTest, TheListsShowWhenTabGivesThemTheKeys) {
    ASSERT_NE(NewWindow(), nullptr);
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    Profile().folder = empty.path().toStdString();
    std::vector<std::string> signed_, unsigned_;
    bool walked = false;
    auto* poll = new QTimer(frame.get());
    QObject::connect(poll, &QTimer::timeout, poll, [&, poll] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible() || !dialog->isActiveWindow()) return;
        poll->stop();
        poll->deleteLater();
        QWidget* places = dialog->findChild<QAbstractItemView*>(QStringLiteral("sidebar"));
        // The file list as the dialog shows it: a list, or a table with details.
        QWidget* files = dialog->findChild<QAbstractItemView*>(QStringLiteral("listView"));
        if (!files || !files->isVisible())
            files = dialog->findChild<QAbstractItemView*>(QStringLiteral("treeView"));
        if (!places || !files) return dialog->reject();
        // Not framed before the keys come.
        EXPECT_LT(FramedShare(places), 0.5);
        EXPECT_LT(FramedShare(files), 0.5);
        for (int i = 0; i < 30; ++i) {
            ASSERT_TRUE(testwait::PressKey(Qt::Key_Tab));
            QWidget* now = QApplication::focusWidget();
            for (QWidget* list : {places, files}) {
                if (list == now) {
                    (FramedShare(list) > 0.8 ? signed_ : unsigned_)
                        .push_back(list->objectName().toStdString());
                } else {
                    EXPECT_LT(FramedShare(list), 0.5) << list->objectName().toStdString();
                }
            }
        }
        walked = true;
        dialog->reject();
    });
    poll->start(10);
    frame->OnCommand(ID_FILE_OPEN);
    Settle();
    ASSERT_TRUE(walked);
    EXPECT_TRUE(unsigned_.empty()) << unsigned_.front();
    EXPECT_NE(std::find(signed_.begin(), signed_.end(), "sidebar"), signed_.end());
    EXPECT_TRUE(std::find(signed_.begin(), signed_.end(), "listView") != signed_.end() ||
                std::find(signed_.begin(), signed_.end(), "treeView") != signed_.end());
}

TEST_F(FileDialogTest, TheChosenTypeOverridesTheExtension) {
    ASSERT_NE(NewWindow(), nullptr);
    TypeTable();
    const std::string xml = TempPath("book.xml");
    const std::string dbf = TempPath("book.dbf");
    SaveAs(3, xml);
    SaveAs(4, dbf);
    CloseActive();
    // The type chooses only among the forms the bytes allow: an Excel 2003 XML spreadsheet
    // chosen as Text opens as the spreadsheet it is, so a save keeps its form.
    Open(2, xml);
    ASSERT_EQ(OpenDocumentCount(), 1);
    EXPECT_EQ(Book().fileFamily, kFileExcelXml);
    EXPECT_EQ(CellText(0, 0), "NAME");
    CloseActive();
    // Opened by its extension, the table is the form its version byte names (saved as
    // dBase III+), not the extension's usual dBase IV.
    Open(1, dbf);
    ASSERT_EQ(OpenDocumentCount(), 1);
    EXPECT_EQ(Book().fileFamily, kFileDBase3);
    CloseActive();
    // Cancel leaves no window and keeps the remembered filter.
    auto* poll = new QTimer(frame.get());
    QObject::connect(poll, &QTimer::timeout, poll, [poll] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) return;
        poll->deleteLater();
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    poll->start(10);
    frame->OnCommand(ID_FILE_OPEN);
    Settle();
    EXPECT_EQ(OpenDocumentCount(), 0);
    EXPECT_EQ(DialogMemory().openIndex, 1);
}

} // namespace

} // namespace vl
