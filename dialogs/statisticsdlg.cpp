#include "dialogs/statisticsdlg.h"

#include "core/settings.h"
#include "dialogs/dialogutil.h"
#include "ui/uiservices.h"
#include "ui_statisticsdlg.h"
#include "values/numfmt_number.h"
#include "values/standardformat.h"

#include <QPushButton>
#include <QRadioButton>

namespace vl {

namespace {

const std::string& CountCode() {
    static const std::string code = [] {
        uint8_t params[kStandardFormatParams] = {};
        params[fmtparam::kFixedDecimals] = 1;
        params[fmtparam::kThousands] = 1;
        return BuildStandardFormatCode(STD_STYLE_GENERAL, params);
    }();
    return code;
}

} // namespace

QString CountText(uint64_t count) {
    std::string text;
    FormatValueText(double(count), CountCode(), text, &UserSeparators());
    return QString::fromStdString(text);
}

uint32_t& CStatisticsDlg::Scope() {
    static uint32_t scope = kScopeWorksheet;
    return scope;
}

CStatisticsDlg::CStatisticsDlg(QWidget* parent, const CWorkbook& workbook,
                               const CellRange& selection)
    : QDialog(parent), ui_(std::make_unique<Ui::StatisticsDialog>()), workbook_(workbook),
      selection_(selection) {
    ui_->setupUi(this);
    QRadioButton* radios[] = {ui_->id400, ui_->id189, ui_->id282, ui_->id1051};
    radios[Scope() <= kScopeRange ? Scope() : kScopeWorksheet]->setChecked(true);
    for (QRadioButton* radio : radios)
        connect(radio, &QRadioButton::clicked, this, &CStatisticsDlg::Recount);
    connect(ui_->id1, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->id2, &QPushButton::clicked, this, &QDialog::reject);
    ui_->id1->setDefault(true);
    Recount();
    ApplyProfileOpacity(this);
}

CStatisticsDlg::~CStatisticsDlg() = default;

void CStatisticsDlg::Recount() {
    const QRadioButton* radios[] = {ui_->id400, ui_->id189, ui_->id282, ui_->id1051};
    for (uint32_t i = 0; i < 4; ++i)
        if (radios[i]->isChecked()) Scope() = i;
    UiServices().SetWaitCursor(true);
    const StatisticsCounts c = CountStatistics(workbook_, Scope(), selection_);
    UiServices().SetWaitCursor(false);
    const QString pair = QStringLiteral("%1 / %2");
    ui_->id205->setText(pair.arg(CountText(c.worksheets), CountText(c.folders)));
    ui_->id257->setText(CountText(c.TotalCells()));
    ui_->id405->setText(pair.arg(CountText(c.cells[0]), CountText(c.cells[1])));
    ui_->id207->setText(CountText(c.cells[2]));
    ui_->id1006->setText(CountText(c.cells[4]));
    ui_->id1005->setText(CountText(c.cells[3]));
    ui_->id259->setText(CountText(c.cells[5]));
    ui_->id406->setText(CountText(c.containers));
}

} // namespace vl
