// Writes one picture per dialog, page and sub-page into the folder given, each shown on
// fixture data as the user would first see it.
#include "core/clock.h"
#include "core/settings.h"
#include "dialogs/chart/containerdlg.h"
#include "dialogs/chart/gridpage.h"
#include "dialogs/chart/stylepage.h"
#include "dialogs/chart/windowpage.h"
#include "tests/dialogs/dialogwalk.h"
#include "ui/uiutil.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTabWidget>
#include <cstdio>
#include <string>

namespace {

QString g_folder;
int g_failures = 0;

// Pictures a little larger than their natural size, for room around what they show.
QSize PictureSize(QWidget& widget, const std::string& name) {
    if (name == "cellpage") return widget.sizeHint().expandedTo(QSize(420, 320));
    if (name == "xbase") return QSize(460, 300);
    return {};
}

void Shoot(QWidget& widget, const std::string& name) {
    if (const QSize size = PictureSize(widget, name); size.isValid()) widget.resize(size);
    widget.show();
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    const QString path = g_folder + "/" + QString::fromStdString(name) + ".png";
    if (!widget.grab().save(path)) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
        ++g_failures;
    }
    widget.hide();
}

// The container properties window on each of its pages, the container's first and then a
// column chart's with three series; then the dialogs the Style, Grid and Window pages open.
void ShootContainerWindow() {
    using namespace vl;
    CContainerPropertiesDlg window(ContainerDlgHost{}, nullptr);
    window.Open(nullptr);
    const char* names[CContainerPropertiesDlg::kPageCount] = {
        "data",         "view",      "style",    "axes",   "grid",  "walls",
        "titleslegend", "options3d", "contents", "window", "titles"};
    for (int tab = 0; tab < 3; ++tab) {
        window.Tabs()->setCurrentIndex(tab);
        Shoot(window,
              std::string("container-") + names[CContainerPropertiesDlg::kChartPages + tab]);
    }
    window.Tabs()->setCurrentIndex(1);
    auto* windowPage = static_cast<CContainerWindowPage*>(window.Page(9));
    FractalSettings fractal = windowPage->Fractal();
    window.ChooseObject(CContainerPropertiesDlg::kAdd2D);
    for (int i = 0; i < 3; ++i) window.OnCommand(CContainerPropertiesDlg::kAddSeries);
    for (int tab = 0; tab < CContainerPropertiesDlg::kChartPages; ++tab) {
        window.Tabs()->setCurrentIndex(tab);
        Shoot(window, std::string("container-") + names[tab]);
    }
    window.Tabs()->setCurrentIndex(2);
    ChartProportions proportions = static_cast<CChartStylePage*>(window.Page(2))->Proportions();
    CChartStyleAdvancedDlg advanced(proportions, nullptr);
    Shoot(advanced, "chartstyleadvanced");
    CUserGridlineDlg gridline(12.5, BorderLine{1, 1, Rgb(255, 0, 0)}, nullptr);
    Shoot(gridline, "usergridline");
    CFractalPropertiesDlg fractalDialog(fractal, nullptr);
    Shoot(fractalDialog, "fractalproperties");
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: dialogshots folder\n");
        return 2;
    }
    g_folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(g_folder);
    using namespace vl;
    Profile().userNumericFormats = {{"Thousands", "#,##0"}, {"Two places", "0.00"}};

    dialogtest::WalkFormatPages(Shoot);
    CSystemClock clock;
    dialogtest::WalkWindowDialogs(clock, Shoot);
    ShootContainerWindow();
    return g_failures == 0 ? 0 : 1;
}
