#pragma once
// The 3D Options page: turns a 3D chart, sets its perspective and its lamp, and asks the
// window to apply after every change so that the chart follows at once.

#include "dialogs/chart/chartpage.h"

#include <functional>

class QCheckBox;
class QSlider;

namespace vl {

class CChart3DOptionsPage : public CChartPage {
public:
    static constexpr int kPerspectiveSteps[12] = {5, 7, 9, 11, 13, 15, 20, 25, 30, 40, 50, 60};

    explicit CChart3DOptionsPage(QWidget* parent = nullptr);
    bool Exchange(bool save, CChart* chart, int item) override;
    // Turns the last filled chart by d degrees about the axis (1 X, 2 Y, 3 Z), then applies.
    void OnRotate(int axis, int delta);
    void OnReset();
    // The window's Apply.
    std::function<void()> apply;

private:
    void Apply();

    QCheckBox* perspective_;
    QSlider* distance_;
    QSlider* lampHorizontal_;
    QSlider* lampVertical_;
    CChart* chart_ = nullptr;
};

} // namespace vl
