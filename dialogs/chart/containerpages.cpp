#include "dialogs/chart/containerpages.h"

#include "dialogs/fontdialog.h"
#include "model/container.h"
#include "platform/core/cp1252.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <charconv>
#include <cstring>

namespace vl {

namespace {

struct FieldRow {
    const char* label;
    int edit, spin, units;
    int32_t minimum, maximum;      // what the up-down steps within
    int32_t acceptLow, acceptHigh; // what a save takes
};

constexpr FieldRow kRows[6] = {
    {"Columns:", 205, 369, 0, 1, 10, 1, 10},
    {"Rows:", 257, 370, 0, 1, 10, 1, 10},
    {"Horizontal spacing:", 405, 1008, 215, 0, 255, 0, 255},
    {"Vertical spacing:", 207, 1009, 229, 0, 255, 0, 255},
    {"Width:", 1006, 1010, 1019, 10, 10000, 0, 10000},
    {"Height:", 1005, 1011, 1021, 10, 10000, 0, 10000},
};

} // namespace

CContainerContentsPage::CContainerContentsPage(QWidget* parent) : CChartPage(parent) {
    auto* grid = new QGridLayout(this);
    for (int i = 0; i < 6; ++i) {
        const FieldRow& row = kRows[i];
        grid->addWidget(new QLabel(QString::fromLatin1(row.label), this), i, 0);
        edits_[i] = AddSpinField(this, grid, i, 1, row.edit, row.spin, row.minimum, row.maximum);
        if (!row.units) continue;
        auto* units = new QComboBox(this);
        units->setObjectName(QStringLiteral("id%1").arg(row.units));
        units->addItem(QStringLiteral("pixels"));
        units->setCurrentIndex(0);
        grid->addWidget(units, i, 3);
    }
    grid->setRowStretch(6, 1);
}

bool CContainerContentsPage::Exchange(bool save, CContainer& container) {
    ContainerSettings& s = container.settings;
    if (!save) {
        const int64_t values[6] = {s.columns,
                                   s.rows,
                                   s.horzSpacing,
                                   s.vertSpacing,
                                   int64_t(s.right) - s.left + 1,
                                   int64_t(s.bottom) - s.top + 1};
        for (int i = 0; i < 6; ++i) edits_[i]->setText(QString::number(values[i]));
        shownColumns_ = s.columns;
        shownRows_ = s.rows;
        return true;
    }
    int64_t values[6] = {};
    for (int i = 0; i < 6; ++i) {
        if (!ReadWholeNumber(edits_[i]->text(), 0, INT64_MAX, values[i])) return Refuse(edits_[i]);
        // A count the page showed itself is taken back even above 10; 0 never.
        const int32_t shown = i == 0 ? shownColumns_ : i == 1 ? shownRows_ : -1;
        const bool inRange = values[i] >= kRows[i].acceptLow && values[i] <= kRows[i].acceptHigh;
        if (!inRange && (values[i] != shown || shown <= 0)) return Refuse(edits_[i]);
    }
    s.columns = uint8_t(values[0]);
    s.rows = uint8_t(values[1]);
    s.horzSpacing = uint8_t(values[2]);
    s.vertSpacing = uint8_t(values[3]);
    s.right = int32_t(s.left + values[4] - 1);
    s.bottom = int32_t(s.top + values[5] - 1);
    return true;
}

CContainerTitlesPage::CContainerTitlesPage(QWidget* parent) : CChartPage(parent) {
    auto* grid = new QGridLayout(this);
    title_ = new QLineEdit(this);
    title_->setObjectName(QStringLiteral("id205"));
    subtitle_ = new QLineEdit(this);
    subtitle_->setObjectName(QStringLiteral("id257"));
    for (QLineEdit* e : {title_, subtitle_}) e->setMaxLength(127);
    auto* titleFont = new QPushButton(QStringLiteral("Font..."), this);
    titleFont->setObjectName(QStringLiteral("id408"));
    auto* subtitleFont = new QPushButton(QStringLiteral("Font..."), this);
    subtitleFont->setObjectName(QStringLiteral("id410"));
    grid->addWidget(new QLabel(QStringLiteral("Title:"), this), 0, 0);
    grid->addWidget(title_, 0, 1);
    grid->addWidget(titleFont, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Subtitle:"), this), 1, 0);
    grid->addWidget(subtitle_, 1, 1);
    grid->addWidget(subtitleFont, 1, 2);
    grid->setRowStretch(2, 1);
    connect(titleFont, &QPushButton::clicked, this, [this] { EditChartFont(fonts_[0]); });
    connect(subtitleFont, &QPushButton::clicked, this, [this] { EditChartFont(fonts_[1]); });
}

bool CContainerTitlesPage::Exchange(bool save, CContainer& container) {
    ContainerSettings& s = container.settings;
    if (!save) {
        title_->setText(QString::fromStdString(Cp1252ToUtf8(s.titleText[0])));
        subtitle_->setText(QString::fromStdString(Cp1252ToUtf8(s.titleText[1])));
        fonts_[0] = s.titleFont[0];
        fonts_[1] = s.titleFont[1];
        return true;
    }
    StoreEditText(title_, s.titleText[0], kChartTextSize);
    StoreEditText(subtitle_, s.titleText[1], kChartTextSize);
    s.titleFont[0] = fonts_[0];
    s.titleFont[1] = fonts_[1];
    return true;
}

} // namespace vl
