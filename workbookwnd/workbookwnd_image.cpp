#include "charts/draw/imageexport.h"
#include "model/worksheettree.h"
#include "ui/messages.h"
#include "ui/uiservices.h"
#include "workbookwnd/documentopen.h"
#include "workbookwnd/workbookwnd.h"
#include "workbookwnd/worksheetview.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace vl {

namespace {

constexpr FileFilter kPngFilter[] = {{"PNG (*.png)", "*.png", 0, false}};

QString ImageFolder() {
    if (!DialogMemory().imageFolder.empty())
        return QString::fromStdString(DialogMemory().imageFolder);
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return pictures.isEmpty() ? QDir::homePath() : pictures;
}

} // namespace

void CWorkbookWnd::OnSaveAsImage() {
    CWorksheetView* view = GetActiveView();
    if (!view || !book_->tree.active) return;
    view->EndCellEdit(kEditStay);
    CFileDlg dialog(false, QStringLiteral("Save Selection As Image"), QString(), QString(),
                    QtFilterList(kPngFilter, 1), 1, ImageFolder(), this);
    if (dialog.DoModal() != IDOK) return;
    const QFileInfo info(dialog.GetFileName());
    DialogMemory().imageFolder = dialog.GetDirectory().toStdString();
    std::string sheetPath;
    bool ok = false;
    if (!BuildTreeItemPath(book_->tree.active, sheetPath, false)) {
        // A cut path could name another worksheet.
        book_->error = kErrorPathNotFound;
    } else {
        const std::string file = info.absoluteFilePath().toStdString();
        const uint16_t container = view->CurrentContainer();
        UiServices().SetWaitCursor(true);
        if (container && view->FindContainerById(container))
            ok = RenderContainerToBitmap(*book_, sheetPath.c_str(), container, file.c_str(),
                                         kImageFormatPng, 0.0, {100, 100});
        else
            ok = RenderRangeToBitmap(*book_, sheetPath.c_str(), view->Selection(), file.c_str(),
                                     kImageFormatPng, 0.0, {100, 100});
        UiServices().SetWaitCursor(false);
    }
    // A file another document or program holds is refused as the saves refuse it.
    if (!ok)
        ShowErrorMessage(book_->error == kStreamInUse ? ErrorCode(kStreamOpenWrite) : book_->error);
}

} // namespace vl
