#include "dialogs/printcontentpage.h"

#include "core/integerlist.h"
#include "dialogs/numberedit.h"
#include "platform/core/cp1252.h"
#include "resources/strings.h"
#include "ui_printcontentpage.h"

namespace vl {

namespace {

constexpr uint32_t kMinScale = 10;
constexpr uint32_t kMaxScale = 1000;
// What every form of the file stores and reads back.
constexpr uint32_t kMaxFirstPage = kMaxFirstPageNumber;
constexpr int kLastRowNumber = 2097152;
constexpr int kLastColumnNumber = 2047;

// Empty, or a list of numbers and ranges within 1 to `highest`.
bool ListFits(const QString& text, int highest) {
    return text.isEmpty() || ParseIntegerList(text.toStdString(), nullptr, 1, highest) >= 0;
}

bool TooLong(const QString& text) {
    return Utf8ToCp1252(text.toStdString()).size() >= size_t(kPageTextSize);
}

} // namespace

CPrintContentPage::CPrintContentPage(CPrintSheet& sheet)
    : CPrintPage(sheet), ui_(std::make_unique<Ui::PrintContentPage>()) {
    ui_->setupUi(this);
    ui_->id205->SetInteger(int32_t(kMinScale), int32_t(kMaxScale));
    ui_->id257->SetInteger(1, int32_t(kMaxFirstPage));
    AttachUpDown(ui_->id369, ui_->id205, [this] { Changed(); });
    AttachUpDown(ui_->id370, ui_->id257, [this] { Changed(); });
    for (QLineEdit* edit : {static_cast<QLineEdit*>(ui_->id205),
                            static_cast<QLineEdit*>(ui_->id257), ui_->id405, ui_->id207})
        connect(edit, &QLineEdit::textChanged, this, [this] { Changed(); });
    for (QCheckBox* check : {ui_->id216, ui_->id218, ui_->id1001})
        connect(check, &QCheckBox::clicked, this, [this] { Changed(); });
    for (QRadioButton* radio : {ui_->id400, ui_->id189})
        connect(radio, &QRadioButton::clicked, this, [this] { OnFitClicked(); });
}

CPrintContentPage::~CPrintContentPage() = default;

void CPrintContentPage::Load(const PageSetupRecord& record) {
    // A flag is set by any value but 0, as printing reads it.
    fit_ = record.fitToSheetSize != 0 ? 1 : 0;
    scale_ = record.scale;
    firstPage_ = record.firstPageNumber;
    onFirstPage_ = record.onFirstPage != 0 ? 1 : 0;
    rows_ = PageText(record.excludedRows);
    columns_ = PageText(record.excludedColumns);
    rowHeadings_ = record.rowHeadings != 0 ? 1 : 0;
    columnHeadings_ = record.columnHeadings != 0 ? 1 : 0;
    filling_ = true;
    Exchange(false);
    filling_ = false;
}

void CPrintContentPage::Store(PageSetupRecord& record) const {
    SetPageText(record.excludedRows, rows_);
    SetPageText(record.excludedColumns, columns_);
    // Fit keeps the scale last stored, for a later return to scaling.
    record.fitToSheetSize = fit_ ? 1 : 0;
    if (!fit_) record.scale = uint16_t(std::min<uint32_t>(scale_, 65535));
    record.firstPageNumber = uint16_t(std::min(firstPage_, kMaxFirstPage));
    record.onFirstPage = onFirstPage_ ? 1 : 0;
    record.rowHeadings = rowHeadings_ ? 1 : 0;
    record.columnHeadings = columnHeadings_ ? 1 : 0;
}

bool CPrintContentPage::Exchange(bool save) {
    if (!save) {
        (fit_ ? ui_->id189 : ui_->id400)->setChecked(true);
        ui_->id205->setText(QString::number(scale_));
        ui_->id216->setChecked(onFirstPage_ != 0);
        ui_->id257->setText(QString::number(firstPage_));
        ui_->id405->setText(rows_);
        ui_->id207->setText(columns_);
        ui_->id218->setChecked(columnHeadings_ != 0);
        ui_->id1001->setChecked(rowHeadings_ != 0);
        return true;
    }
    fit_ = ui_->id189->isChecked() ? 1 : 0;
    onFirstPage_ = ui_->id216->isChecked() ? 1 : 0;
    rows_ = ui_->id405->text();
    columns_ = ui_->id207->text();
    columnHeadings_ = ui_->id218->isChecked() ? 1 : 0;
    rowHeadings_ = ui_->id1001->isChecked() ? 1 : 0;
    return ReadUnsigned(ui_->id205, ui_->id205->text(), scale_) &&
           ReadUnsigned(ui_->id257, ui_->id257->text(), firstPage_);
}

bool CPrintContentPage::Validate() {
    // The scale is checked with fit chosen too: it is what a later return to scaling uses.
    if (scale_ < kMinScale || scale_ > kMaxScale)
        return Refuse(ui_->id205, IDS_ENTER_INTEGER, QString::number(kMinScale),
                      QString::number(kMaxScale));
    if (firstPage_ < 1 || firstPage_ > kMaxFirstPage)
        return Refuse(ui_->id257, IDS_ENTER_INTEGER, "1", QString::number(kMaxFirstPage));
    const QString limit = QString::number(kPageTextSize - 1);
    if (!ListFits(rows_, kLastRowNumber)) return Refuse(ui_->id405, IDS_INVALID_VALUE);
    if (TooLong(rows_)) return Refuse(ui_->id405, IDS_MAX_CHARACTERS, limit);
    if (!ListFits(columns_, kLastColumnNumber)) return Refuse(ui_->id207, IDS_INVALID_VALUE);
    if (TooLong(columns_)) return Refuse(ui_->id207, IDS_MAX_CHARACTERS, limit);
    return true;
}

void CPrintContentPage::OnFitClicked() {
    const uint32_t before = fit_;
    Exchange(true);
    if (fit_ != before) Changed();
}

} // namespace vl
