// The Insert commands of the workbook window: dates and times from the clock, the series
// fill, the quick statistics formulas, containers, charts, images and function templates.

#include "app/mainframe.h"
#include "dialogs/filedlg.h"
#include "formula/edit/cellcommands.h"
#include "formula/edit/containercommands.h"
#include "formula/edit/datacommands.h"
#include "model/chart.h"
#include "model/container.h"
#include "model/containerpaste.h"
#include "platform/core/cp1252.h"
#include "platform/core/errorcode.h"
#include "render/imagesource.h"
#include "resources/commandids.h"
#include "resources/strings.h"
#include "ui/messages.h"
#include "ui/uiservices.h"
#include "values/localtime.h"
#include "workbookwnd/celleditor.h"
#include "workbookwnd/environment.h"
#include "workbookwnd/functiontemplate.h"
#include "workbookwnd/workbookwnd.h"
#include "workbookwnd/worksheetview.h"

#include <QStandardPaths>
#include <QTextCursor>

namespace vl {

namespace {

std::span<const FunctionInfo> g_catalogue;

// The folder the Insert Image dialog starts in, for the whole process.
QString& ImageFolder() {
    static QString folder;
    return folder;
}

DateStep StepOfCommand(int id) {
    switch (id) {
    case ID_NEXT_WEEK:
        return DateStep::kNextWeek;
    case ID_PREV_WEEK:
        return DateStep::kPrevWeek;
    case ID_NEXT_MONTH:
        return DateStep::kNextMonth;
    case ID_PREV_MONTH:
        return DateStep::kPrevMonth;
    case ID_END_NEXT_MONTH:
        return DateStep::kEndNextMonth;
    case ID_END_PREV_MONTH:
        return DateStep::kEndPrevMonth;
    default:
        return DateStep::kNone;
    }
}

} // namespace

std::span<const FunctionInfo> InsertFunctionCatalogue() {
    return g_catalogue.empty() ? FunctionCatalogue() : g_catalogue;
}

void SetInsertFunctionCatalogue(std::span<const FunctionInfo> rows) {
    g_catalogue = rows;
}

std::string FunctionTemplateText(const FunctionInfo& row, bool editorOpen) {
    std::string text = editorOpen ? "" : "=";
    text += row.name ? row.name : "";
    text += '(';
    const char* name = row.argumentNames;
    for (uint8_t i = 0; name && i < FixedArgumentCount(row); ++i) {
        const std::string_view arg(name);
        if (text.size() + arg.size() + (i ? 2 : 0) <= 1020) {
            if (i) text += ", ";
            text += arg;
        }
        name += arg.size() + 1;
    }
    if (text.size() < 1024) text += ')';
    return text;
}

void CWorkbookWnd::OnInsertDateTime(int id) {
    CWorksheetView* view = GetActiveView();
    if (!view || !book_->tree.active) return;
    if (!BeginCommand()) return;
    const bool date = id != ID_INSERT_TIME;
    const bool time = id == ID_INSERT_TIME || id == ID_INSERT_DATE_AND_TIME;
    const std::string text = DateTimeInsertText(LocalDateTime(), date, time, StepOfCommand(id));
    SyncContext();
    const GridSelection grid = CurrentGridSelection();
    const CommandResult result =
        StoreTextInRangeCommand(*book_, ctx_, grid, text, Profile().autoFormatting);
    if (result != CommandResult::kNothing) view->RefitRows(grid.range.r1, grid.range.r2);
    AfterCommand(result);
}

void CWorkbookWnd::OnInsertDataSeries() {
    CWorksheetView* view = GetActiveView();
    if (!view || !book_->tree.active) return;
    if (!BeginCommand()) return;
    SyncContext();
    bool noElements = false;
    const CommandResult result =
        FillSeriesCommand(*book_, ctx_, CurrentGridSelection(), &noElements);
    if (noElements) ShowStringMessage(IDS_SERIES_ELEMENTS, MB_ICONEXCLAMATION);
    if (result == CommandResult::kDone) view->RefitRows(view->Selection().r1, view->Selection().r2);
    AfterCommand(result);
}

void CWorkbookWnd::OnQuickStatistics(const char* format) {
    CWorksheetView* view = GetActiveView();
    if (!view || !book_->tree.active) return;
    if (!BeginCommand()) return;
    SyncContext();
    bool single = false;
    const CommandResult result =
        QuickStatisticsCommand(*book_, ctx_, CurrentGridSelection(), format, &single);
    if (single &&
        ShowStringMessage(IDS_NO_RANGE_SELECTED, MB_OKCANCEL | MB_ICONINFORMATION) == IDOK &&
        frame_)
        frame_->ShowHelpTopic(18);
    AfterCommand(result);
}

CContainer* CWorkbookWnd::NewContainer(uint8_t chartType, const std::string* image) {
    if (!GetActiveView() || !book_->tree.active) return nullptr;
    CContainer* added = nullptr;
    if (InsertContainerCommand(*book_, CurrentGridSelection(), chartType, &added) !=
        CommandResult::kDone)
        return ShowErrorMessage(book_->error), nullptr;
    // The entry names the container by its id, so the image may follow the record.
    if (image) SetContainerImage(*added, *image);
    return added;
}

void CWorkbookWnd::OnInsertContainer(int id) {
    if (!BeginCommand()) return;
    const uint8_t type = id == ID_CHART_2D ? 1 : id == ID_CHART_3D ? 2 : id == ID_CHART_XY ? 3 : 0;
    CContainer* added = NewContainer(type);
    if (!added) return;
    // The properties window comes with the container window.
    OpenContainerProperties(*added);
    if (type) InsertSelectionReference(*added);
    GetActiveView()->InvalidateAll();
    AfterCommand(CommandResult::kDone);
}

void CWorkbookWnd::OnInsertImage() {
    if (ImageFolder().isEmpty())
        ImageFolder() = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (CWorksheetView* view = GetActiveView()) view->EndCellEdit(kEditStay);
    std::size_t count = 0;
    const FileFilter* images = ImageFilters(count);
    CFileDlg dialog(true, QStringLiteral("Insert Image"), QString(), QString(),
                    QtFilterList(images, count), 1, ImageFolder(), this);
    if (dialog.DoModal() != IDOK) return;
    const QString path = dialog.GetFileName();
    ImageFolder() = path.section(QLatin1Char('/'), 0, -2);
    if (!BeginCommand()) return;
    const std::string name = path.toStdString(); // the system's bytes, kept whole
    // A cut path would name another file: a longer one is refused whole.
    if (name.size() > size_t(kImagePathSize - 1)) {
        ShowStringMessage(IDS_MAX_CHARACTERS, MB_OK | MB_ICONEXCLAMATION,
                          QString::number(kImagePathSize - 1));
        return;
    }
    CContainer* added = NewContainer(0, &name);
    if (!added) return;
    GetActiveView()->InvalidateAll();
    AfterCommand(CommandResult::kDone);
}

void CWorkbookWnd::SetContainerImage(CContainer& container, const std::string& name) {
    BackgroundRecord& back = container.settings.background;
    back.kind = kBackgroundImage;
    back.imageView = 0;
    const size_t length = std::min(name.size(), sizeof(back.imagePath) - 1);
    std::copy_n(name.data(), length, back.imagePath);
    back.imagePath[length] = '\0';
    // The painter finds the same entry: names are compared without regard to case.
    ImageListEntry* entry = &FindOrAddImage(*book_, back.imagePath);
    // A picture that cannot be read or decoded leaves the container at its default size.
    if (!LoadImageSource(*book_, *entry) || !DecodeImageEntry(*book_, *entry)) {
        ShowErrorMessage(book_->imageError);
        return;
    }
    DibLayout layout;
    if (!ReadDibLayout(entry->decoded, layout)) return;
    ContainerSettings& s = container.settings;
    s.right = s.left + layout.width - 1;
    s.bottom = s.top + int32_t(layout.Rows()) - 1;
}

std::vector<FunctionMenuGroup> CWorkbookWnd::FunctionMenu() const {
    const std::span<const FunctionInfo> rows = InsertFunctionCatalogue();
    std::vector<FunctionMenuGroup> groups;
    for (uint8_t category = 0; category < kCategoryAll; ++category) {
        FunctionMenuGroup group;
        group.category = FunctionCategoryName(category);
        for (size_t i = 0; i < rows.size(); ++i)
            if (rows[i].name && CategoryOf(rows[i]) == category)
                group.rows.emplace_back(int(i), rows[i].name);
        if (!group.rows.empty()) groups.push_back(std::move(group));
    }
    return groups;
}

bool CWorkbookWnd::HandleCommandWith(int id, int parameter) {
    if (id != ID_INSERT_FUNCTION) return false;
    OnInsertFunction(parameter);
    return true;
}

void CWorkbookWnd::OnInsertFunction(int row) {
    const std::span<const FunctionInfo> rows = InsertFunctionCatalogue();
    CWorksheetView* view = GetActiveView();
    if (!view || row < 0 || size_t(row) >= rows.size() || !book_->tree.active) return;
    if (view->EditorOpen()) {
        view->Editor()->textCursor().insertText(
            QString::fromStdString(Cp1252ToUtf8(FunctionTemplateText(rows[row], true))));
        view->UpdateCellEditor();
        return;
    }
    const std::string text = FunctionTemplateText(rows[row], false);
    if (!view->BeginCellEdit(text, 0)) return;
    refPick_ = kRefPickEditing;
    view->EndCellEdit(kEditStay);
    AfterCommand(CommandResult::kDone);
}

} // namespace vl
