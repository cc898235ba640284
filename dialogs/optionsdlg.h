#pragma once
// The Options dialog over the profile's general settings: every value is checked before any
// is written, so a refused OK or Cancel leaves the settings as they were.

#include <QDialog>
#include <memory>
#include <utility>
#include <vector>

class QComboBox;

namespace Ui {
class OptionsDialog;
}

namespace vl {

class COptionsDlg : public QDialog {
public:
    static constexpr int kHelpTopic = 14;
    static constexpr int kLongestFolder = 255;
    explicit COptionsDlg(QWidget* parent);
    ~COptionsDlg() override;
    Ui::OptionsDialog& Form() { return *ui_; }
    // The folder chooser titled "Default Folder", starting at the edit's folder; a chosen
    // folder goes into the edit only.
    void Browse();
    void accept() override;

private:
    void Fill();
    void PreviewOpacity();

    // Whether the list now shows another entry than Fill chose: one left as it was keeps the
    // setting it showed, also a value between its entries or none of them.
    bool Picked(const QComboBox* list) const;

    std::unique_ptr<Ui::OptionsDialog> ui_;
    std::vector<std::pair<const QComboBox*, int>> shown_;
};

// The minutes of the AutoSave and AutoClose entries, "Never" first.
extern const int kAutoMinutes[12];

} // namespace vl
