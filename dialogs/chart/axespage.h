#pragma once
// The Axes page: the axis of a series slot (type, line, ticks, title and label turn,
// scale, name and font).

#include "dialogs/chart/chartpage.h"
#include "model/stylerecords.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace vl {

class CColorCombo;
class CLineStyleCombo;

class CChartAxesPage : public CChartPage {
public:
    // The most ticks a count takes: stored plus one, and every file form holds at most
    // 65,534 there.
    static constexpr int64_t kMostTicks = 65533;

    explicit CChartAxesPage(QWidget* parent = nullptr);
    bool Exchange(bool save, CChart* chart, int item) override;
    ColoredFont& AxisFont() { return font_; }

private:
    void Reset();
    bool ReadTicks(CNumberEdit* edit, uint16_t& stored);

    QComboBox* type_;
    CLineStyleCombo* style_;
    CColorCombo* color_;
    QCheckBox* major_;
    CNumberEdit* majorCount_;
    QCheckBox* minor_;
    CNumberEdit* minorCount_;
    QCheckBox* title_;
    QRadioButton* titleHorizontal_;
    QRadioButton* titleVertical_;
    QCheckBox* labels_;
    QRadioButton* labelsHorizontal_;
    QRadioButton* labelsVertical_;
    QComboBox* scale_;
    QLineEdit* name_;
    ColoredFont font_{};
};

} // namespace vl
