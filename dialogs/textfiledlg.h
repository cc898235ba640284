#pragma once
// The options of a text file before it is read ("Open Text File") or written ("Save Text
// File"): separator or fixed widths, quoting symbol, encoding, and on reading the conversion
// of typed text.

#include "model/exchangesettings.h"

#include <QDialog>
#include <memory>
#include <string>
#include <string_view>

namespace Ui {
class TextFileDialog;
}

namespace vl {

class CTextFileDlg : public QDialog {
public:
    static constexpr int kHelpTopic = 15;
    // Edits `settings`, which OK writes whole and Cancel leaves.
    CTextFileDlg(QWidget* parent, TextFileSettings& settings, bool save);
    ~CTextFileDlg() override;
    Ui::TextFileDialog& Form() { return *ui_; }
    // Takes the choice; widths that do not read keep the dialog open and the record whole.
    void accept() override;

private:
    void Fill();
    void ChooseSeparator(int index);
    bool Read(TextFileSettings& out);

    std::unique_ptr<Ui::TextFileDialog> ui_;
    TextFileSettings& settings_;
    bool save_;
};

// The widths as the edit shows them: reading, up to the first width 0; writing, up to the
// last width that is not 0.
std::string WidthsText(const TextFileSettings& settings, bool save);
// Reads widths separated by ',', ';' or blanks into `widths` (the rest 0). False for any
// other character or a width above 65,535.
bool ParseWidths(std::string_view text, uint16_t* widths);

} // namespace vl
