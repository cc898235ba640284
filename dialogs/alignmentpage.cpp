#include "dialogs/alignmentpage.h"

#include "dialogs/dialogutil.h"
#include "model/formatattribute.h"
#include "ui_alignmentpage.h"

#include <array>
#include <utility>

namespace vl {

namespace {

struct {
    bool filled = false;
    StyleRecord record;
} g_clipboard;

} // namespace

CAlignmentPage::CAlignmentPage(QWidget* parent, const StyleRecord& style, ApplyStyleFn apply)
    : CFormatPage(parent, kCommand, 11), ui_(std::make_unique<Ui::AlignmentPage>()), record_(style),
      apply_(std::move(apply)) {
    ui_->setupUi(Body());
    setWindowTitle(Body()->windowTitle());
    using Group = std::array<QCheckBox*, 3>;
    const Group horizontal = {ui_->id216, ui_->id218, ui_->id1001};
    const Group vertical = {ui_->id1007, ui_->id1002, ui_->id1003};
    // Each control applies its own attribute alone: the others may differ from cell to cell.
    for (const auto& [group, code] :
         {std::pair{horizontal, kAttrHorizontalOnly}, std::pair{vertical, kAttrVerticalOnly}}) {
        for (int i = 0; i < 3; ++i) {
            // A box ticked unticks the others of its group.
            connect(group[size_t(i)], &QCheckBox::clicked, this, [this, group, i, code] {
                for (int j = 0; j < 3; ++j)
                    if (j != i) group[size_t(j)]->setChecked(false);
                Change(code);
            });
        }
    }
    for (const auto& [indent, code] : {std::pair{ui_->id215, kAttrHorizontalIndent},
                                       std::pair{ui_->id229, kAttrVerticalIndent}}) {
        UseExtendedListKeys(*indent);
        connect(indent, &QComboBox::activated, this, [this, code] { Change(code); });
    }
    for (QRadioButton* overflow : {ui_->id400, ui_->id189, ui_->id282})
        connect(overflow, &QRadioButton::clicked, this, [this] { Change(kAttrWrapping); });
    // The label follows the thumb; the rotation applies once the thumb is let go.
    connect(ui_->id411, &QSlider::valueChanged, this, [this](int position) {
        ShowRotation(position);
        if (!ui_->id411->isSliderDown()) Change(kAttrRotation);
    });
    connect(ui_->id411, &QSlider::sliderMoved, this, [this](int p) { ShowRotation(p); });
    connect(ui_->id411, &QSlider::sliderReleased, this, [this] { Change(kAttrRotation); });
    connect(ui_->id408, &QPushButton::clicked, this, [this] {
        record_ = StyleRecord{};
        record_.horizontalIndent = 4;
        record_.verticalIndent = 2;
        Fill();
        if (apply_) apply_(record_, 13);
    });
    Fill();
}

CAlignmentPage::~CAlignmentPage() = default;

void CAlignmentPage::ShowRotation(int position) {
    ui_->id394->setText(QString("%1 degrees").arg(position * 10));
}

void CAlignmentPage::Fill() {
    const QSignalBlocker block(ui_->id411);
    ui_->id216->setChecked(record_.horizontalAlignment == 1);
    ui_->id218->setChecked(record_.horizontalAlignment == 2);
    ui_->id1001->setChecked(record_.horizontalAlignment == 3);
    ui_->id1007->setChecked(record_.verticalAlignment == 4);
    ui_->id1002->setChecked(record_.verticalAlignment == 5);
    ui_->id1003->setChecked(record_.verticalAlignment == 7);
    ui_->id215->setCurrentIndex(record_.horizontalIndent <= 16 ? record_.horizontalIndent : -1);
    ui_->id229->setCurrentIndex(record_.verticalIndent <= 16 ? record_.verticalIndent : -1);
    ui_->id411->setValue(record_.rotation / 10);
    ui_->id394->setText(QString("%1 degrees").arg(int(record_.rotation)));
    ui_->id400->setChecked(!record_.wrapText && !record_.fitToCell);
    ui_->id189->setChecked(record_.wrapText != 0);
    ui_->id282->setChecked(record_.fitToCell != 0);
}

void CAlignmentPage::Read() {
    record_.horizontalAlignment = ui_->id216->isChecked()    ? 1
                                  : ui_->id218->isChecked()  ? 2
                                  : ui_->id1001->isChecked() ? 3
                                                             : 0;
    record_.verticalAlignment = ui_->id1007->isChecked()   ? 4
                                : ui_->id1002->isChecked() ? 5
                                : ui_->id1003->isChecked() ? 7
                                                           : 0;
    if (ui_->id215->currentIndex() >= 0)
        record_.horizontalIndent = uint8_t(ui_->id215->currentIndex());
    if (ui_->id229->currentIndex() >= 0)
        record_.verticalIndent = uint8_t(ui_->id229->currentIndex());
    record_.rotation = int8_t(ui_->id411->value() * 10);
    record_.wrapText = ui_->id189->isChecked() ? 1 : 0;
    record_.fitToCell = ui_->id282->isChecked() ? 1 : 0;
}

void CAlignmentPage::Change(uint8_t code) {
    Read();
    if (apply_) apply_(record_, code);
}

void CAlignmentPage::OnCopy() {
    g_clipboard.filled = true;
    g_clipboard.record = record_;
}

void CAlignmentPage::OnPaste() {
    record_ = g_clipboard.record;
    Fill();
    if (apply_) apply_(record_, 13);
}

bool CAlignmentPage::ClipboardFilled() const {
    return g_clipboard.filled;
}

} // namespace vl
