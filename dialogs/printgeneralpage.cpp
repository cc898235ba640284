#include "dialogs/printgeneralpage.h"

#include "core/integerlist.h"
#include "dialogs/numberedit.h"
#include "dialogs/printlayoutpage.h"
#include "platform/core/cp1252.h"
#include "resources/strings.h"
#include "ui/imagelists.h"
#include "ui_printgeneralpage.h"

#include <QPixmap>
#include <algorithm>

namespace vl {

namespace {

constexpr int kMaxPage = 16777215;
constexpr int kMaxCopies = 65534;

} // namespace

CPrintGeneralPage::CPrintGeneralPage(CPrintSheet& sheet)
    : CPrintPage(sheet), ui_(std::make_unique<Ui::PrintGeneralPage>()) {
    ui_->setupUi(this);
    ui_->id399->setPixmap(QPixmap::fromImage(LoadPicture(QStringLiteral("bitmap_471"))));
    ui_->id257->SetInteger(1, kMaxCopies);
    AttachUpDown(ui_->id369, ui_->id257, [this] { Changed(); });
    connect(ui_->id215, &QComboBox::activated, this, [this] { OnPrinterCloseUp(); });
    connect(ui_->id1014, &QPushButton::clicked, this, [this] { OnProperties(); });
    connect(ui_->id205, &QLineEdit::textChanged, this, [this] { Changed(); });
    connect(ui_->id257, &QLineEdit::textChanged, this, [this] { Changed(); });
    connect(ui_->id216, &QCheckBox::clicked, this, [this] { Changed(); });
    connect(ui_->id218, &QCheckBox::clicked, this, [this] { Changed(); });
    for (QRadioButton* radio : {ui_->id400, ui_->id189, ui_->id282})
        connect(radio, &QRadioButton::clicked, this, [this] { OnRangeClicked(); });
}

CPrintGeneralPage::~CPrintGeneralPage() = default;

void CPrintGeneralPage::Load(const PageSetupRecord& record) {
    range_ = record.printRangeKind == kPrintAll        ? kEntireWorksheet
             : record.printRangeKind == kPrintPageList ? kPages
             : (record.printRangeKind & 3) != 0        ? kSelection
                                                       : kEntireWorksheet;
    pages_ = PageText(record.pages);
    copies_ = record.copies;
    collate_ = record.collate != 0 ? 1 : 0;
    filling_ = true;
    FillPrinterList();
    ShowPrinterStatus();
    Exchange(false);
    filling_ = false;
}

void CPrintGeneralPage::Store(PageSetupRecord& record) const {
    record.printRangeKind = range_ == kSelection ? kPrintSelection
                            : range_ == kPages   ? kPrintPageList
                                                 : kPrintAll;
    if (range_ == kPages) SetPageText(record.pages, pages_);
    record.copies = uint16_t(copies_);
    record.collate = collate_ ? 1 : 0;
}

bool CPrintGeneralPage::Exchange(bool save) {
    if (!save) {
        ui_->id216->setChecked(printToFile_ != 0);
        QRadioButton* radios[] = {ui_->id400, ui_->id189, ui_->id282};
        radios[std::min<uint32_t>(range_, 2)]->setChecked(true);
        ui_->id205->setText(pages_);
        ui_->id257->setText(QString::number(copies_));
        ui_->id218->setChecked(collate_ != 0);
        return true;
    }
    printToFile_ = ui_->id216->isChecked() ? 1 : 0;
    range_ = ui_->id189->isChecked()   ? kSelection
             : ui_->id282->isChecked() ? kPages
                                       : kEntireWorksheet;
    pages_ = ui_->id205->text();
    collate_ = ui_->id218->isChecked() ? 1 : 0;
    return ReadUnsigned(ui_->id257, ui_->id257->text(), copies_);
}

bool CPrintGeneralPage::Validate() {
    const std::string pages = pages_.toStdString();
    const bool pagesOk = pages.empty() || ParseIntegerList(pages, nullptr, 1, kMaxPage) >= 0;
    // Both wrong: the copies are named, as their check comes second.
    if (copies_ < 1 || copies_ > kMaxCopies)
        return Refuse(ui_->id257, IDS_ENTER_INTEGER, "1", QString::number(kMaxCopies));
    if (!pagesOk) return Refuse(ui_->id205, IDS_ENTER_INTEGER, "1", QString::number(kMaxPage));
    // A list cut to fit the record would print other pages than asked.
    if (Utf8ToCp1252(pages).size() >= size_t(kPageTextSize))
        return Refuse(ui_->id205, IDS_MAX_CHARACTERS, QString::number(kPageTextSize - 1));
    return true;
}

int CPrintGeneralPage::FillPrinterList() {
    printers_ = ListPrinters(sheet_.Printers());
    ui_->id215->clear();
    for (const PrinterEntry& p : printers_) ui_->id215->addItem(QString::fromStdString(p.name));
    const QString name = QString::fromStdString(sheet_.Printer().printer.name);
    for (int i = 0; i < ui_->id215->count(); ++i)
        if (!name.isEmpty() && ui_->id215->itemText(i).startsWith(name, Qt::CaseInsensitive)) {
            ui_->id215->setCurrentIndex(i);
            break;
        }
    return int(printers_.size());
}

void CPrintGeneralPage::ShowPrinterStatus() {
    const PrinterEntry& printer = sheet_.Printer().printer;
    // The built-in PDF printer has no properties of its own to show (its paper and
    // orientation are on the Layout page): asking the print system for them only failed.
    ui_->id1014->setEnabled(!printer.builtInPdf);
    if (printer.name.empty()) return;
    // A printer whose queue cannot be read leaves the three fields as they were.
    const int jobs = PrintJobs(sheet_.Printers(), printer);
    if (jobs < 0) return;
    ui_->id394->setText(QString::fromStdString(printer.location));
    ui_->id395->setText(QString::asprintf("%d", jobs));
    ui_->id396->setText(QString::fromStdString(printer.comment));
}

void CPrintGeneralPage::OnPrinterCloseUp() {
    Exchange(true);
    const int index = ui_->id215->currentIndex();
    if (index < 0 || index >= int(printers_.size())) return;
    sheet_.SetPrinter(DefaultDeviceMode(printers_[size_t(index)], ""));
    sheet_.Layout()->FillPaperSizes();
    sheet_.Layout()->FillPaperSources();
    ShowPrinterStatus();
    Changed();
}

void CPrintGeneralPage::OnProperties() {
    DeviceMode chosen = sheet_.Printer();
    if (!sheet_.printSetup || !sheet_.printSetup(this, chosen)) return;
    const QString name = QString::fromStdString(chosen.printer.name);
    int index = -1;
    for (int i = 0; i < ui_->id215->count() && index < 0; ++i)
        if (ui_->id215->itemText(i).startsWith(name, Qt::CaseInsensitive)) index = i;
    if (index < 0) {
        printers_.push_back(chosen.printer);
        ui_->id215->addItem(name);
        index = ui_->id215->count() - 1;
    }
    sheet_.SetPrinter(chosen);
    ui_->id215->setCurrentIndex(index);
    sheet_.Layout()->FillPaperSizes();
    sheet_.Layout()->FillPaperSources();
    ShowPrinterStatus();
}

void CPrintGeneralPage::OnRangeClicked() {
    const uint32_t before = range_;
    Exchange(true);
    if (range_ != before) Changed();
}

} // namespace vl
