#pragma once
// The Grid page: the major and minor gridlines of a series slot's axis and up to 16
// gridlines at values of the user's, each edited in the User Defined Gridline dialog.

#include "dialogs/chart/chartpage.h"
#include "model/stylerecords.h"

#include <QDialog>
#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class QListWidget;
class QToolButton;

namespace vl {

class CColorCombo;
class CLineStyleCombo;

class CUserGridlineDlg : public QDialog {
public:
    CUserGridlineDlg(double value, const BorderLine& line, QWidget* parent = nullptr);
    QLineEdit* ValueEdit() const { return value_; }
    CLineStyleCombo* Style() const { return style_; }
    CColorCombo* Color() const { return color_; }
    double Value() const { return read_; }
    const BorderLine& Line() const { return line_; }
    // OK: a number, else a beep with the focus in the value.
    void accept() override;

private:
    QLineEdit* value_;
    CLineStyleCombo* style_;
    CColorCombo* color_;
    double read_ = 0;
    BorderLine line_{};
};

class CChartGridPage : public CChartPage {
public:
    static constexpr int kMostGridlines = 16;

    explicit CChartGridPage(QWidget* parent = nullptr);
    bool Exchange(bool save, CChart* chart, int item) override;
    void OnAddGridline();
    void OnRemoveGridline();
    void OnEditGridline();
    QListWidget* List() const { return list_; }
    // Says that a log axis leaves out the gridlines at 0 or below; shown while some are.
    QLabel* LogNote() const { return logNote_; }
    double Value(int i) const { return values_[i]; }
    const BorderLine& Line(int i) const { return lines_[i]; }
    // Runs the gridline dialog over a value and line; true on OK. Tests answer it.
    std::function<bool(double& value, BorderLine& line)> editGridline;

private:
    void ResetLines();
    void UpdateLogNote();

    CLineStyleCombo* majorStyle_;
    CColorCombo* majorColor_;
    CLineStyleCombo* minorStyle_;
    CColorCombo* minorColor_;
    QListWidget* list_;
    QToolButton* add_;
    QToolButton* remove_;
    QLabel* logNote_;
    bool logScale_ = false;
    std::array<double, kMostGridlines> values_{};
    std::array<BorderLine, kMostGridlines> lines_{};
};

} // namespace vl
