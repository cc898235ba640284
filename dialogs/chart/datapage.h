#pragma once
// The Data page: the shown range of a series, its X domain and error-bar series, and its
// number format.

#include "dialogs/chart/chartpage.h"
#include "values/standardformat.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace vl {

class IFormatPages;

class CChartDataPage : public CChartPage {
public:
    // Numeric Format opens the number format page of `pages` (not owned); without them it
    // does nothing.
    explicit CChartDataPage(QWidget* parent = nullptr, IFormatPages* pages = nullptr);
    bool Exchange(bool save, CChart* chart, int item) override;
    const StandardFormat& NumberFormat() const { return format_; }
    // The style page's confirmation.
    void TakeNumberFormat(const StandardFormat& format) { format_ = format; }

private:
    void OnNumericFormat();
    void Fill(CChart* chart, int item);
    bool ReadLimit(QCheckBox* box, QLineEdit* edit, double& value, uint16_t& flags, uint16_t bit);

    QCheckBox* from_;
    QLineEdit* fromValue_;
    QCheckBox* to_;
    QLineEdit* toValue_;
    QLineEdit* xDomain_;
    QLineEdit* errorBars_;
    IFormatPages* pages_;
    QPushButton* format408_;
    StandardFormat format_{};
};

} // namespace vl
