#include "dialogs/xbasedlg.h"

#include "dialogs/dialogutil.h"
#include "dialogs/formatpage.h"
#include "exchange/xbase.h"
#include "platform/core/cp1252.h"
#include "ui/messages.h"
#include "ui/uiservices.h"
#include "ui_xbasedlg.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QHeaderView>
#include <QPushButton>
#include <cstring>

namespace vl {

namespace {

// A row as high as the font with its leading and 3 pixels, as wide as its name.
QSize RowSize(const QFont& font, const QString& name) {
    const QFontMetrics metrics(font);
    return QSize(metrics.horizontalAdvance(name) + 6, metrics.height() + metrics.leading() + 3);
}

QString Text(const std::string& bytes) {
    return QString::fromStdString(Cp1252ToUtf8(bytes));
}

} // namespace

CXBaseDlg::CXBaseDlg(QWidget* parent, XBaseSaveOptions& options, const QString& path, Mode mode)
    : QDialog(parent), ui_(std::make_unique<Ui::XBaseDialog>()), options_(options), mode_(mode) {
    ui_->setupUi(this);
    std::memcpy(header_, options.header, sizeof header_);
    count_ = options.fieldDescriptors ? FieldCount(options) : 0;
    descriptors_.assign(options.fieldDescriptors,
                        options.fieldDescriptors + std::size_t(count_) * kDescriptorSize);
    (options.encoding == 3 ? ui_->id189 : ui_->id400)->setChecked(true);
    const std::string name = PrettyFileName(Utf8ToCp1252(path.toStdString()));
    ui_->id394->setText(Text(XBaseSummaryText(header_, name)));
    QTreeWidget* list = ui_->id1020;
    list->setColumnCount(3);
    list->setHeaderLabels({QStringLiteral("Field Name"), QStringLiteral("Field Type"),
                           QStringLiteral("Length (Decimals)")});
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    // Rows in the default GUI font.
    list->setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
    list->header()->setSectionsMovable(false);
    FillRows();
    ui_->id408->setVisible(mode == kSave);
    const QString format = QString::fromLatin1(XBaseFormatName(options.format));
    setWindowTitle((mode == kOpen ? QStringLiteral("Open %1 File") : QStringLiteral("Save %1 File"))
                       .arg(format));
    connect(ui_->id1, &QPushButton::clicked, this, &CXBaseDlg::accept);
    connect(ui_->id2, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->id9, &QPushButton::clicked, this, [] {
        if (CFormatPage::showHelp) CFormatPage::showHelp(kHelpTopic);
    });
    connect(ui_->id408, &QPushButton::clicked, this, &CXBaseDlg::EditSelectedField);
    // A table being read keeps its descriptors: changed ones would misread every record.
    connect(list, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (mode_ == kSave) EditSelectedField();
    });
    ui_->id1->setDefault(true);
    ApplyProfileOpacity(this);
}

CXBaseDlg::~CXBaseDlg() = default;

void CXBaseDlg::FillRows() {
    QTreeWidget* list = ui_->id1020;
    const int current = list->currentIndex().row();
    list->clear();
    for (uint32_t i = 0; i < count_; ++i) {
        const XBaseFieldRow row = XBaseRowTexts(
            i + 1, descriptors_.data() + std::size_t(i) * kDescriptorSize, options_.format);
        auto* item = new QTreeWidgetItem(
            {Text(row.name), QString::fromLatin1(row.type), QString::fromStdString(row.length)});
        item->setSizeHint(0, RowSize(list->font(), item->text(0)));
        list->addTopLevelItem(item);
    }
    if (current >= 0 && current < int(count_)) list->setCurrentItem(list->topLevelItem(current));
}

bool CXBaseDlg::ApplyEdit(uint32_t row, const XBaseFieldEdit& edit) {
    if (!ApplyFieldEdit(header_, descriptors_.data(), count_, row, edit, options_.format)) {
        ShowErrorMessage(kErrorTooManyFields);
        return false;
    }
    FillRows();
    return true;
}

void CXBaseDlg::EditSelectedField() {
    if (mode_ != kSave) return;
    QTreeWidgetItem* item = ui_->id1020->currentItem();
    if (!item) return;
    const uint32_t row = uint32_t(ui_->id1020->indexOfTopLevelItem(item));
    if (row >= count_) return;
    CXBaseFieldDlg field(this,
                         FieldEditOf(descriptors_.data() + row * kDescriptorSize, options_.format));
    if (UiServices().RunDialog(field) == QDialog::Accepted) ApplyEdit(row, field.Field());
    // Back on the field just edited: arrows reach the next one and Return is OK's, where
    // the Edit button kept the keys and Return reopened the same field.
    ui_->id1020->setFocus(Qt::OtherFocusReason);
}

void CXBaseDlg::accept() {
    options_.encoding = ui_->id400->isChecked() ? 2 : 3;
    std::memcpy(options_.header, header_, sizeof header_);
    if (count_) std::memcpy(options_.fieldDescriptors, descriptors_.data(), descriptors_.size());
    QDialog::accept();
}

} // namespace vl
