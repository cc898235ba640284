#pragma once
// The Style page: how a data series is drawn (visibility, labels, fill, line, symbol, pie
// slices), and the advanced dialog of the chart's five proportions.

#include "dialogs/chart/chartpage.h"
#include "model/stylerecords.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace vl {

class CColorCombo;
class CLineStyleCombo;
class CPatternCombo;
class CSymbolCombo;

// Column size, stacked size, pie split, 3D-line width, 3D-pie thickness.
using ChartProportions = std::array<uint8_t, 5>;

class CChartStyleAdvancedDlg : public QDialog {
public:
    CChartStyleAdvancedDlg(ChartProportions& values, QWidget* parent = nullptr);
    CNumberEdit* Edit(int row) const { return edits_[row]; }
    // OK: every field a whole number within its range, else a beep and the focus on it.
    void accept() override;

private:
    ChartProportions& values_;
    std::array<CNumberEdit*, 5> edits_{};
};

class CChartStylePage : public CChartPage {
public:
    explicit CChartStylePage(QWidget* parent = nullptr);
    bool Exchange(bool save, CChart* chart, int item) override;
    // The up-down of the slice number: one slice on, or back.
    void StepSlice(int delta);
    int Slice() const { return slice_; }
    ColoredFont& LabelFont() { return labelFont_; }
    ChartProportions& Proportions() { return proportions_; }
    const InteriorFill& SliceFill(int i) const { return slices_[i]; }
    void OnAdvanced();

private:
    void Reset();
    void ShowFill(const InteriorFill& fill, bool withPatterns);
    void ShowSlice();

    QCheckBox* visible_;
    QComboBox* labels_;
    CPatternCombo* pattern_;
    CColorCombo* patternColor_;
    CColorCombo* background_;
    CLineStyleCombo* lineStyle_;
    CColorCombo* lineColor_;
    CSymbolCombo* symbol_;
    QCheckBox* connect_;
    QLineEdit* sliceText_;
    ColoredFont labelFont_{};
    std::array<InteriorFill, 16> slices_{};
    ChartProportions proportions_{};
    // Kept from one fill to the next.
    int slice_ = 0;
    bool fillPatterns_ = true;
    // What the last fill showed: a save writes back only those fields.
    bool labelsShown_ = false, fillShown_ = false, lineShown_ = false;
};

} // namespace vl
