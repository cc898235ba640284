#include "dialogs/printlayoutpage.h"

#include "core/settings.h"
#include "dialogs/fontdialog.h"
#include "dialogs/numberedit.h"
#include "platform/core/cp1252.h"
#include "resources/strings.h"
#include "ui/uiservices.h"
#include "ui/uiutil.h"
#include "ui_printlayoutpage.h"

#include <algorithm>

namespace vl {

namespace {

constexpr int kA4 = 9;
constexpr uint32_t kMaxPagesPerSheet = 10;
constexpr uint8_t kHorizontalBits[] = {kPageAlignLeft, kPageAlignCenter, kPageAlignRight};
constexpr uint8_t kVerticalBits[] = {kPageAlignTop, kPageAlignMiddle, kPageAlignBottom};

// The entry of the bit that counts.
int IndexOfBit(uint8_t bit, const uint8_t (&bits)[3]) {
    for (int i = 0; i < 3; ++i)
        if (bit == bits[i]) return i;
    return 0;
}

QString BinName(int code) {
    return code == kAutomaticBin ? QStringLiteral("Automatically Select")
                                 : QStringLiteral("Bin %1").arg(code);
}

// The entry of the name (without case), else of the code, else of the second choice, else 0.
template <class Code>
int ChooseEntry(const QStringList& names, const QString& name, int code, int fallback,
                Code codeAt) {
    if (!name.isEmpty())
        for (int i = 0; i < names.size(); ++i)
            if (names[i].compare(name, Qt::CaseInsensitive) == 0) return i;
    for (int want : {code, fallback})
        for (int i = 0; i < names.size(); ++i)
            if (codeAt(i) == want) return i;
    return 0;
}

char Decimal() {
    return UserSeparators().decimal;
}

} // namespace

CPrintLayoutPage::CPrintLayoutPage(CPrintSheet& sheet)
    : CPrintPage(sheet), ui_(std::make_unique<Ui::PrintLayoutPage>()) {
    ui_->setupUi(this);
    const std::pair<CNumberEdit*, QWidget*> numbers[] = {
        {ui_->id205, ui_->id369},  {ui_->id257, ui_->id370},   {ui_->id405, ui_->id1008},
        {ui_->id207, ui_->id1009}, {ui_->id1006, ui_->id1010}, {ui_->id1005, ui_->id1011},
        {ui_->id406, ui_->id1012}, {ui_->id210, ui_->id1013}};
    for (auto [edit, holder] : numbers) {
        if (edit == ui_->id205 || edit == ui_->id257)
            edit->SetInteger(1, int32_t(kMaxPagesPerSheet));
        else
            edit->SetDecimal(0.0, 65534.0, 1);
        AttachUpDown(holder, edit, [this] { Changed(); });
        connect(edit, &QLineEdit::textChanged, this, [this] { Changed(); });
    }
    ui_->id1019->addItems({"Align left", "Center horizontally", "Align right"});
    ui_->id1021->addItems({"Align top", "Center vertically", "Align bottom"});
    if (sheet.Inches())
        for (QLabel* unit :
             {ui_->id394, ui_->id395, ui_->id396, ui_->id397, ui_->id398, ui_->id399})
            unit->setText("\"");
    for (QComboBox* list : {ui_->id215, ui_->id229, ui_->id1019, ui_->id1021})
        connect(list, &QComboBox::activated, this, [this] { Changed(); });
    for (QLineEdit* edit : {ui_->id259, ui_->id208})
        connect(edit, &QLineEdit::textChanged, this, [this] { Changed(); });
    for (QRadioButton* radio : {ui_->id400, ui_->id189})
        connect(radio, &QRadioButton::clicked, this, [this] { Changed(); });
    connect(ui_->id408, &QPushButton::clicked, this, [this] { OnFont(); });
}

CPrintLayoutPage::~CPrintLayoutPage() = default;

void CPrintLayoutPage::Load(const PageSetupRecord& record) {
    const DeviceMode& mode = sheet_.Printer();
    paperName_ = PageText(record.paperName);
    if (!mode.printer.papers.empty()) paperCode_ = mode.paper.windowsId;
    sourceCode_ = mode.bin;
    landscape_ = record.landscape ? 1 : 0;
    const bool inches = sheet_.Inches();
    const double lengths[] = {record.marginLeft, record.marginRight, record.marginTop,
                              record.marginBottom};
    for (int i = 0; i < 4; ++i)
        margins_[i] = QString::fromStdString(LengthText(lengths[i], inches, 2, Decimal()));
    headerPosition_ =
        QString::fromStdString(LengthText(record.headerDistance, inches, 1, Decimal()));
    footerPosition_ =
        QString::fromStdString(LengthText(record.footerDistance, inches, 1, Decimal()));
    for (int i = 0; i < 4; ++i) shownLengths_[i] = margins_[i];
    shownLengths_[4] = headerPosition_;
    shownLengths_[5] = footerPosition_;
    const double loaded[] = {record.marginLeft,   record.marginRight,    record.marginTop,
                             record.marginBottom, record.headerDistance, record.footerDistance};
    std::copy(std::begin(loaded), std::end(loaded), loadedLengths_);
    loadedAlignment_ = record.alignment;
    horizontal_ = IndexOfBit(PageHorizontalAlignment(record.alignment), kHorizontalBits);
    vertical_ = IndexOfBit(PageVerticalAlignment(record.alignment), kVerticalBits);
    rows_ = record.pagesPerSheetRows;
    columns_ = record.pagesPerSheetColumns;
    header_ = PageText(record.headerText);
    footer_ = PageText(record.footerText);
    font_ = record.headerFont.font;
    color_ = record.headerFont.color;
    filling_ = true;
    FillPaperSizes();
    FillPaperSources();
    loadedPaper_ = paperName_;
    shownPaper_ = ui_->id215->count() > 0 ? ui_->id215->currentText() : paperName_;
    ui_->id1019->setCurrentIndex(horizontal_);
    ui_->id1021->setCurrentIndex(vertical_);
    Exchange(false);
    filling_ = false;
}

void CPrintLayoutPage::Store(PageSetupRecord& record) const {
    const bool inches = sheet_.Inches();
    double* lengths[] = {&record.marginLeft,   &record.marginRight,    &record.marginTop,
                         &record.marginBottom, &record.headerDistance, &record.footerDistance};
    const QString* texts[] = {&margins_[0], &margins_[1],     &margins_[2],
                              &margins_[3], &headerPosition_, &footerPosition_};
    // A text that is no number leaves the stored length as it was; the text shown at the
    // start stores the length it came from, unrounded.
    for (int i = 0; i < 6; ++i) {
        if (*texts[i] == shownLengths_[i])
            *lengths[i] = loadedLengths_[i];
        else
            LengthMillimetres(texts[i]->toStdString(), inches, Decimal(), *lengths[i]);
    }
    const uint8_t alignment = uint8_t(kHorizontalBits[std::clamp(horizontal_, 0, 2)] |
                                      kVerticalBits[std::clamp(vertical_, 0, 2)]);
    // The same place written with other bits (none set reads as left and top) stays as it was.
    if (PageHorizontalAlignment(loadedAlignment_) != PageHorizontalAlignment(alignment) ||
        PageVerticalAlignment(loadedAlignment_) != PageVerticalAlignment(alignment))
        record.alignment = alignment;
    else
        record.alignment = loadedAlignment_;
    record.pagesPerSheetRows = uint8_t(std::min<uint32_t>(rows_, 255));
    record.pagesPerSheetColumns = uint8_t(std::min<uint32_t>(columns_, 255));
    SetPageText(record.headerText, header_);
    SetPageText(record.footerText, footer_);
    record.headerFont.font = font_;
    record.headerFont.colorGiven = 1;
    record.headerFont.color = color_;
    // The paper shown at the start keeps the name the record gave it (none: the printer's).
    SetPageText(record.paperName, paperName_ == shownPaper_ ? loadedPaper_ : paperName_);
    record.landscape = landscape_ ? 1 : 0;

    DeviceMode& mode = sheet_.Printer();
    mode.bin = sourceCode_;
    mode.landscape = landscape_ != 0;
    const std::vector<PaperInfo>& papers = mode.printer.papers;
    auto byName = std::find_if(papers.begin(), papers.end(), [&](const PaperInfo& p) {
        return QString::fromStdString(p.name).compare(paperName_, Qt::CaseInsensitive) == 0;
    });
    auto byCode = std::find_if(papers.begin(), papers.end(),
                               [&](const PaperInfo& p) { return p.windowsId == paperCode_; });
    if (byName != papers.end())
        mode.paper = *byName;
    else if (byCode != papers.end())
        mode.paper = *byCode;
}

bool CPrintLayoutPage::Exchange(bool save) {
    CNumberEdit* marginEdits[] = {ui_->id405, ui_->id207, ui_->id1006, ui_->id1005};
    if (!save) {
        (landscape_ ? ui_->id189 : ui_->id400)->setChecked(true);
        ui_->id205->setText(QString::number(rows_));
        ui_->id257->setText(QString::number(columns_));
        for (int i = 0; i < 4; ++i) marginEdits[i]->setText(margins_[i]);
        ui_->id259->setText(header_);
        ui_->id406->setText(headerPosition_);
        ui_->id208->setText(footer_);
        ui_->id210->setText(footerPosition_);
        return true;
    }
    landscape_ = ui_->id189->isChecked() ? 1 : 0;
    if (!ReadUnsigned(ui_->id205, ui_->id205->text(), rows_)) return false;
    if (!ReadUnsigned(ui_->id257, ui_->id257->text(), columns_)) return false;
    for (int i = 0; i < 4; ++i) margins_[i] = marginEdits[i]->text();
    header_ = ui_->id259->text();
    headerPosition_ = ui_->id406->text();
    footer_ = ui_->id208->text();
    footerPosition_ = ui_->id210->text();
    return true;
}

void CPrintLayoutPage::FillPaperSizes() {
    const std::vector<PaperInfo>& papers = sheet_.Printer().printer.papers;
    if (papers.empty()) return;
    QStringList names;
    for (const PaperInfo& p : papers) names << QString::fromStdString(p.name);
    const bool wasFilling = filling_;
    filling_ = true;
    ui_->id215->clear();
    ui_->id215->addItems(names);
    ui_->id215->setCurrentIndex(ChooseEntry(names, paperName_, paperCode_, kA4,
                                            [&](int i) { return papers[size_t(i)].windowsId; }));
    filling_ = wasFilling;
}

void CPrintLayoutPage::FillPaperSources() {
    const std::vector<int>& bins = sheet_.Printer().printer.bins;
    if (bins.empty()) return;
    QStringList names;
    for (int code : bins) names << BinName(code);
    const bool wasFilling = filling_;
    filling_ = true;
    ui_->id229->clear();
    ui_->id229->addItems(names);
    ui_->id229->setCurrentIndex(ChooseEntry(names, sourceName_, sourceCode_, kAutomaticBin,
                                            [&](int i) { return bins[size_t(i)]; }));
    filling_ = wasFilling;
}

void CPrintLayoutPage::OnFont() {
    LogFont font;
    StyleFontToLogFont(font_, font);
    const LogFont before = font;
    if (!UiServices().ChooseFontWithColor(font, color_, 4, 72)) return;
    KeepChangedFont(font_, before, font);
}

void CPrintLayoutPage::ApplyListsToMode() {
    DeviceMode& mode = sheet_.Printer();
    const std::vector<PaperInfo>& papers = mode.printer.papers;
    if (const int i = ui_->id215->currentIndex(); i >= 0) {
        paperCode_ = i < int(papers.size()) ? papers[size_t(i)].windowsId : -1;
        paperName_ = ui_->id215->itemText(i);
        if (i < int(papers.size())) mode.paper = papers[size_t(i)];
    }
    const std::vector<int>& bins = mode.printer.bins;
    if (const int i = ui_->id229->currentIndex(); i >= 0) {
        sourceCode_ = i < int(bins.size()) ? bins[size_t(i)] : -1;
        sourceName_ = ui_->id229->itemText(i);
    }
    if (ui_->id1019->currentIndex() >= 0) horizontal_ = ui_->id1019->currentIndex();
    if (ui_->id1021->currentIndex() >= 0) vertical_ = ui_->id1021->currentIndex();
    mode.bin = sourceCode_;
    mode.landscape = landscape_ != 0;
}

bool CPrintLayoutPage::Validate() {
    if (sheet_.Printer().printer.name.empty()) return false; // no printer to measure
    ApplyListsToMode();
    const QString limit = QString::number(kPageTextSize - 1);
    if (Utf8ToCp1252(header_.toStdString()).size() >= size_t(kPageTextSize))
        return Refuse(ui_->id259, IDS_MAX_CHARACTERS, limit);
    // The footer is held to the same length: the record would cut it unseen.
    if (Utf8ToCp1252(footer_.toStdString()).size() >= size_t(kPageTextSize))
        return Refuse(ui_->id208, IDS_MAX_CHARACTERS, limit);
    const QString ten = QString::number(kMaxPagesPerSheet);
    if (rows_ < 1 || rows_ > kMaxPagesPerSheet)
        return Refuse(ui_->id205, IDS_ENTER_INTEGER, "1", ten);
    if (columns_ < 1 || columns_ > kMaxPagesPerSheet)
        return Refuse(ui_->id257, IDS_ENTER_INTEGER, "1", ten);
    return CheckMargins();
}

bool CPrintLayoutPage::CheckMargins() {
    double minimum[4] = {}; // left, top, right, bottom
    // Without the printer's measure there is nothing to hold the margins against.
    if (!sheet_.Printers().MinimumMargins(sheet_.Printer(), minimum)) return true;
    const struct {
        const QString& text;
        double minimum;
        CNumberEdit* edit;
    } checks[] = {
        {margins_[0], minimum[0], ui_->id405},     {margins_[1], minimum[2], ui_->id207},
        {margins_[2], minimum[1], ui_->id1006},    {margins_[3], minimum[3], ui_->id1005},
        {headerPosition_, minimum[1], ui_->id406}, {footerPosition_, minimum[3], ui_->id210}};
    const bool inches = sheet_.Inches();
    for (const auto& check : checks) {
        double mm = 0;
        if (LengthMillimetres(check.text.toStdString(), inches, Decimal(), mm) &&
            mm >= check.minimum)
            continue;
        const double shown = LengthInUnit(check.minimum, inches);
        return Refuse(check.edit, IDS_MINIMUM_MARGIN,
                      QString::fromStdString(FormatNumber(Decimal(), shown, -1)));
    }
    return true;
}

} // namespace vl
