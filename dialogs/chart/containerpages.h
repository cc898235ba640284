#pragma once
// The container's own pages: Contents/Size (object grid, spacing and size) and Titles.

#include "dialogs/chart/chartpage.h"
#include "model/stylerecords.h"

#include <array>

class QLineEdit;

namespace vl {

class CContainerContentsPage : public CChartPage {
public:
    explicit CContainerContentsPage(QWidget* parent = nullptr);
    bool Exchange(bool save, CContainer& container) override;

private:
    // Columns, rows, horizontal and vertical spacing, width, height.
    std::array<CNumberEdit*, 6> edits_{};
    // The counts last shown: the grid can outgrow 10 by added charts, and the page takes
    // back what it showed.
    int32_t shownColumns_ = 0;
    int32_t shownRows_ = 0;
};

class CContainerTitlesPage : public CChartPage {
public:
    explicit CContainerTitlesPage(QWidget* parent = nullptr);
    bool Exchange(bool save, CContainer& container) override;
    ColoredFont& TitleFont() { return fonts_[0]; }
    ColoredFont& SubtitleFont() { return fonts_[1]; }

private:
    QLineEdit* title_;
    QLineEdit* subtitle_;
    ColoredFont fonts_[2];
};

} // namespace vl
