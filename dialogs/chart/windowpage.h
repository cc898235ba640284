#pragma once
// The container's Window page (border and background: pattern, image or fractal) and the
// Fractal Properties dialog of the fractal's parameters and colours.

#include "dialogs/chart/chartpage.h"
#include "model/stylerecords.h"

#include <QDialog>
#include <array>

class QComboBox;
class QLineEdit;
class QRadioButton;

namespace vl {

class CColorCombo;
class CLineStyleCombo;
class CPatternCombo;

// Zr, Zi, X-min, X-max, Y-min, Y-max, then the 16 colours.
struct FractalSettings {
    std::array<double, 6> params{};
    std::array<COLORREF, 16> colors{};
};

class CFractalPropertiesDlg : public QDialog {
public:
    CFractalPropertiesDlg(FractalSettings& settings, QWidget* parent = nullptr);
    QLineEdit* Param(int i) const { return edits_[i]; }
    CColorCombo* Color(int i) const { return colors_[i]; }
    void OnReset();
    // OK: all six parameters numbers, else a beep with the focus on the first that is not.
    void accept() override;

private:
    FractalSettings& settings_;
    std::array<QLineEdit*, 6> edits_{};
    std::array<CColorCombo*, 16> colors_{};
};

class CContainerWindowPage : public CChartPage {
public:
    explicit CContainerWindowPage(QWidget* parent = nullptr);
    bool Exchange(bool save, CContainer& container) override;
    void OnBrowseImage();
    void OnFractalProperties();
    FractalSettings& Fractal() { return fractal_; }

private:
    CLineStyleCombo* borderStyle_;
    CColorCombo* borderColor_;
    QRadioButton* pattern_;
    QRadioButton* image_;
    QRadioButton* fractalKind_;
    CPatternCombo* fill_;
    CColorCombo* fillColor_;
    CColorCombo* fillBackground_;
    QLineEdit* path_;
    QComboBox* mode_;
    FractalSettings fractal_;
};

} // namespace vl
