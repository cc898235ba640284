#pragma once
// The Walls/Size page (the chart's walls and its share of its space) and the Titles/Legend
// page (titles, legend place and fonts).

#include "dialogs/chart/chartpage.h"
#include "model/stylerecords.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace vl {

class CColorCombo;
class CLineStyleCombo;
class CPatternCombo;

class CChartWallsPage : public CChartPage {
public:
    explicit CChartWallsPage(QWidget* parent = nullptr);
    bool Exchange(bool save, CChart* chart, int item) override;

private:
    void Reset();
    bool ReadPercent(CNumberEdit* edit, uint8_t& stored);

    CPatternCombo* pattern_;
    CColorCombo* patternColor_;
    CColorCombo* background_;
    CLineStyleCombo* borderStyle_;
    CColorCombo* borderColor_;
    QCheckBox* xy_;
    QCheckBox* yz_;
    QCheckBox* floor_;
    CNumberEdit* width_;
    CNumberEdit* height_;
};

class CChartTitlesPage : public CChartPage {
public:
    explicit CChartTitlesPage(QWidget* parent = nullptr);
    bool Exchange(bool save, CChart* chart, int item) override;
    // Title, subtitle, legend.
    ColoredFont& Font(int i) { return fonts_[i]; }

private:
    QLineEdit* title_;
    QLineEdit* subtitle_;
    QComboBox* position_;
    QComboBox* expand_;
    QComboBox* align_;
    ColoredFont fonts_[3]{};
};

} // namespace vl
