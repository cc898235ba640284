#include "dialogs/textfiledlg.h"

#include "dialogs/dialogutil.h"
#include "dialogs/formatpage.h"
#include "exchange/textfile.h"
#include "platform/core/cp1252.h"
#include "ui/messages.h"
#include "ui/uiservices.h"
#include "ui_textfiledlg.h"

#include <QPushButton>
#include <algorithm>

namespace vl {

namespace {

// The separators of the list, "other" last.
constexpr char kSeparators[] = {',', '\t', '.', ';', ' '};
constexpr int kOther = 5;
constexpr uint32_t kLargestWidth = 65535;
// Every width of the record with five digits and its comma.
constexpr int kWidthsLength = kMaxColumns * 6 - 1;

int SeparatorIndex(uint8_t separator) {
    const auto* end = std::end(kSeparators);
    const auto* it = std::find(std::begin(kSeparators), end, char(separator));
    return it == end ? kOther : int(it - std::begin(kSeparators));
}

uint8_t FirstByte(const QString& text) {
    const std::string bytes = Utf8ToCp1252(text.left(1).toStdString());
    return bytes.empty() ? 0 : uint8_t(bytes[0]);
}

QString ByteText(uint8_t c) {
    return c ? QString::fromStdString(Cp1252ToUtf8(std::string(1, char(c)))) : QString();
}

} // namespace

std::string WidthsText(const TextFileSettings& s, bool save) {
    int count = 0;
    if (save) {
        for (int i = 0; i < kMaxColumns; ++i)
            if (s.columnWidths[i]) count = i + 1;
    } else {
        while (count < kMaxColumns && s.columnWidths[count]) ++count;
    }
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (i) text += ',';
        text += std::to_string(s.columnWidths[i]);
    }
    return text;
}

bool ParseWidths(std::string_view text, uint16_t* widths) {
    std::fill(widths, widths + kMaxColumns, uint16_t(0));
    int column = 0;
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c == ',' || c == ';' || c == ' ') {
            ++i;
            continue;
        }
        if (!IsAsciiDigit(c)) return false;
        uint32_t width = 0;
        for (; i < text.size() && IsAsciiDigit(text[i]); ++i) {
            width = width * 10 + uint32_t(text[i] - '0');
            if (width > kLargestWidth) return false;
        }
        if (column < kMaxColumns) widths[column++] = uint16_t(width);
    }
    return true;
}

CTextFileDlg::CTextFileDlg(QWidget* parent, TextFileSettings& settings, bool save)
    : QDialog(parent), ui_(std::make_unique<Ui::TextFileDialog>()), settings_(settings),
      save_(save) {
    ui_->setupUi(this);
    setWindowTitle(save ? QStringLiteral("Save Text File") : QStringLiteral("Open Text File"));
    if (save) {
        ui_->label1019->hide();
        ui_->id1019->hide();
        ui_->id9->setText(QStringLiteral("Help"));
    }
    ui_->id257->setMaxLength(kWidthsLength);
    ui_->id229->lineEdit()->setMaxLength(1);
    ui_->id229->setCompleter(nullptr); // the quote is the character typed
    ui_->id229->setInsertPolicy(QComboBox::NoInsert);
    connect(ui_->id215, &QComboBox::activated, this, &CTextFileDlg::ChooseSeparator);
    connect(ui_->id1, &QPushButton::clicked, this, &CTextFileDlg::accept);
    connect(ui_->id2, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->id9, &QPushButton::clicked, this, [] {
        if (CFormatPage::showHelp) CFormatPage::showHelp(kHelpTopic);
    });
    ui_->id1->setDefault(true);
    Fill();
    ApplyProfileOpacity(this);
}

CTextFileDlg::~CTextFileDlg() = default;

void CTextFileDlg::Fill() {
    const TextFileSettings& s = settings_;
    const int index = SeparatorIndex(s.separator);
    ui_->id215->setCurrentIndex(index);
    ui_->id205->setText(ByteText(s.separator));
    ui_->id205->setEnabled(index == kOther);
    (s.useFixedColWidths ? ui_->id189 : ui_->id400)->setChecked(true);
    ui_->id257->setText(QString::fromStdString(WidthsText(s, save_)));
    ui_->id229->setEditText(ByteText(s.quotingSymbol));
    ui_->id1019->setCurrentIndex(s.conversion ? 1 : 0);
    ui_->id1021->setCurrentIndex(s.encoding >= 1 && s.encoding <= 3 ? s.encoding - 1 : -1);
}

void CTextFileDlg::ChooseSeparator(int index) {
    ui_->id205->setText(index >= 0 && index < kOther ? ByteText(uint8_t(kSeparators[index]))
                                                     : QString());
    ui_->id205->setEnabled(index == kOther);
}

bool CTextFileDlg::Read(TextFileSettings& out) {
    if (ui_->id400->isChecked()) {
        out.useFixedColWidths = 0;
        out.separator = FirstByte(ui_->id205->text());
    } else {
        out.useFixedColWidths = 1;
        if (!ParseWidths(Utf8ToCp1252(ui_->id257->text().toStdString()), out.columnWidths))
            return false;
    }
    out.quotingSymbol = FirstByte(ui_->id229->currentText());
    if (!save_ && ui_->id1019->currentIndex() >= 0)
        out.conversion = uint8_t(ui_->id1019->currentIndex());
    const int encoding = ui_->id1021->currentIndex();
    out.encoding = encoding >= 0 ? uint8_t(encoding + 1) : 2;
    return true;
}

void CTextFileDlg::accept() {
    auto read = std::make_unique<TextFileSettings>(settings_);
    if (!Read(*read)) {
        RefuseInput(ui_->id257);
        return;
    }
    if (!TextSeparatorUsable(*read)) {
        const bool same = read->separator == read->quotingSymbol;
        UiServices().MessageBox(
            same ? QStringLiteral("The cell separator and the quoting symbol must differ: a file "
                                  "written with one character for both cannot be read back.")
                 : QStringLiteral("The OEM code page has no character for the cell separator "
                                  "or the quoting symbol: choose another, or another code page."),
            AppTitle(), MB_OK | MB_ICONEXCLAMATION);
        QWidget* field = ui_->id205->isEnabled() ? static_cast<QWidget*>(ui_->id205) : ui_->id215;
        field->setFocus();
        return;
    }
    settings_ = *read;
    QDialog::accept();
}

} // namespace vl
