// A file whose form keeps only part of the workbook is written only with the user's consent
// for that file and that loss: Cancel, or Yes with its Save As cancelled, consents to nothing,
// and auto-save passes such a window by until the user said No to the question; another
// worksheet made active is another loss and asks again.

#include "app/mainframe.h"
#include "files/savetarget.h"
#include "platform/core/errorcode.h"
#include "profile/profile.h"
#include "resources/commandids.h"
#include "wndtest.h"

#include <QMdiArea>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace vl {

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class PartialSaveTest : public wndtest::WindowTest {
protected:
    // A minute passes and the frame's timer runs auto-save.
    void AutoSave() {
        clock.now += 60;
        frame->OnTimer();
        Settle();
    }
    int Questions() const {
        int n = 0;
        for (const auto& box : ui.boxes)
            n += box.text.contains(QStringLiteral("more than this file's form keeps")) ? 1 : 0;
        return n;
    }
};

} // namespace

TEST_F(PartialSaveTest, AutoSaveWritesNoLossTheUserDidNotAgreeTo) {
    Profile().autoSave = 1;
    const std::string csv = TempPath("t2.csv");
    { std::ofstream(csv, std::ios::binary) << "alpha,beta"; }
    ASSERT_NE(OpenWindow(csv), nullptr);
    Command(ID_NEW_WORKSHEET);
    View()->setFocus();
    Enter(2, 0, QStringLiteral("delta"));
    ASSERT_EQ(Book().tree.worksheetCount, 2u);

    // Ctrl+S, Cancel: nothing written, now or by auto-save, which asks nothing.
    ui.answers = {IDCANCEL};
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(Questions(), 1);
    EXPECT_EQ(ReadAll(csv), "alpha,beta");
    AutoSave();
    EXPECT_EQ(Questions(), 1);
    EXPECT_EQ(ReadAll(csv), "alpha,beta");
    EXPECT_TRUE(Active()->IsModified());

    // Yes, then Save As cancelled: still nothing agreed.
    ui.answers = {IDYES};
    ui.savePath.clear();
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(Questions(), 2);
    AutoSave();
    EXPECT_EQ(Questions(), 2);
    EXPECT_EQ(ReadAll(csv), "alpha,beta");

    // No: the active worksheet goes to the file, and auto-save writes it again unasked.
    ui.answers = {IDNO};
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(Questions(), 3);
    EXPECT_EQ(ReadAll(csv), ",,delta");
    Enter(2, 1, QStringLiteral("more"));
    AutoSave();
    EXPECT_EQ(Questions(), 3);
    EXPECT_EQ(ReadAll(csv), ",,delta\r\n,,more");

    // Another worksheet active is another loss: Ctrl+S asks again, and Cancel writes nothing.
    Command(ID_PREV_WORKSHEET);
    View()->setFocus();
    Enter(0, 1, QStringLiteral("gamma"));
    ui.answers = {IDCANCEL};
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(Questions(), 4);
    EXPECT_EQ(ReadAll(csv), ",,delta\r\n,,more");
    AutoSave();
    EXPECT_EQ(Questions(), 4);
    EXPECT_EQ(ReadAll(csv), ",,delta\r\n,,more");
}

// A file never saved in this session: auto-save neither asks nor writes the partial form.
TEST_F(PartialSaveTest, AutoSaveDoesNotAskForTheUser) {
    Profile().autoSave = 1;
    const std::string csv = TempPath("sums.csv");
    { std::ofstream(csv, std::ios::binary) << "1,2"; }
    ASSERT_NE(OpenWindow(csv), nullptr);
    Enter(2, 0, QStringLiteral("=A1+B1"));
    AutoSave();
    EXPECT_EQ(Questions(), 0);
    EXPECT_EQ(ReadAll(csv), "1,2");
    EXPECT_TRUE(Active()->IsModified());
}

} // namespace vl

namespace vl {

// A rewrite in place cut short left a whole copy of what it wrote: the next open offers it.
// Yes puts it in place (the file's other name sees it too) and opens it; No opens the file as
// it is and keeps the copy for the next open.
TEST_F(PartialSaveTest, AnOpenOffersTheCopyACutSaveLeft) {
    ASSERT_NE(NewWindow(), nullptr);
    Enter(0, 0, QStringLiteral("whole"));
    const std::string path = TempPath("cut.vln");
    ui.savePath = QString::fromStdString(path);
    Active()->HandleCommand(ID_FILE_SAVE_AS);
    frame->MdiArea()->closeActiveSubWindow();
    Settle();
    const std::string twin = TempPath("twin.vln");
    ASSERT_EQ(link(path.c_str(), twin.c_str()), 0);
    const std::string whole = ReadAll(path);
    // What a cut leaves: the file torn to nothing, the copy beside it.
    const std::string copy = TemporaryPrefix(path) + "saved";
    { std::ofstream(copy, std::ios::binary) << whole; }
    { std::ofstream(path, std::ios::binary | std::ios::trunc); }
    ASSERT_EQ(InterruptedSaveCopy(path), copy);

    // Declined, the torn file is not opened as an empty workbook (whose save would put
    // nothing over the copy's workbook): it is refused, and the copy stays.
    ui.boxes.clear();
    ui.answers = {IDNO};
    EXPECT_EQ(OpenWindow(path), nullptr);
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_TRUE(ui.boxes[0].text.contains(QStringLiteral("was cut short")));
    EXPECT_EQ(ui.boxes[1].text, QString::fromLatin1(GetErrorMessage(kErrorFileFormat)));
    EXPECT_EQ(InterruptedSaveCopy(path), copy);
    EXPECT_EQ(std::filesystem::file_size(path), 0u);

    ui.boxes.clear();
    ui.answers = {IDYES};
    ASSERT_NE(OpenWindow(path), nullptr);
    EXPECT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(CellText(0, 0), "whole");
    EXPECT_TRUE(InterruptedSaveCopy(path).empty());
    EXPECT_EQ(ReadAll(twin), whole);
}

// A cut save's copy is offered only while the file is what the cut left: once another user's
// whole save has rewritten the shared file (in place, its other name kept, our copy theirs to
// leave), the open asks nothing and shows their newer workbook. The copy stays on disk, offered
// no more, until our own next whole save removes it.
TEST_F(PartialSaveTest, AKeptCopyIsNotOfferedOverAFileSavedWholeSince) {
    ASSERT_NE(NewWindow(), nullptr);
    Enter(0, 0, QStringLiteral("ours"));
    const std::string path = TempPath("shared.vln");
    ui.savePath = QString::fromStdString(path);
    Active()->HandleCommand(ID_FILE_SAVE_AS);
    const std::string ours = ReadAll(path);
    Enter(0, 0, QStringLiteral("theirs"));
    Active()->HandleCommand(ID_FILE_SAVE);
    const std::string theirs = ReadAll(path);
    frame->MdiArea()->closeActiveSubWindow();
    Settle();
    ASSERT_NE(ours, theirs);
    const std::string twin = TempPath("twin.vln");
    ASSERT_EQ(link(path.c_str(), twin.c_str()), 0);
    const std::string copy = TemporaryPrefix(path) + "saved";
    // The cut left the first half of our workbook; the copy holds it whole.
    { std::ofstream(copy, std::ios::binary) << ours; }
    { std::ofstream(path, std::ios::binary | std::ios::trunc) << ours.substr(0, ours.size() / 2); }
    ASSERT_EQ(OfferedSaveCopy(path), copy);
    // Another user saves their workbook whole over the torn file, through its other name.
    { std::ofstream(twin, std::ios::binary | std::ios::trunc) << theirs; }
    EXPECT_TRUE(OfferedSaveCopy(path).empty());
    ui.boxes.clear();
    ui.answers = {IDYES};
    ASSERT_NE(OpenWindow(path), nullptr);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(CellText(0, 0), "theirs");
    EXPECT_EQ(ReadAll(path), theirs);
    EXPECT_EQ(ReadAll(copy), ours);
    // Our next whole save is newer still: the copy goes with it.
    Enter(0, 1, QStringLiteral("more"));
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_FALSE(std::filesystem::exists(copy));
    EXPECT_EQ(ReadAll(twin), ReadAll(path));
}

} // namespace vl
