#include "dialogs/chart/containerdlg.h"

#include "dialogs/chart/axespage.h"
#include "dialogs/chart/chartpage.h"
#include "dialogs/chart/containeredit.h"
#include "dialogs/chart/containerpages.h"
#include "dialogs/chart/datapage.h"
#include "dialogs/chart/gridpage.h"
#include "dialogs/chart/options3dpage.h"
#include "dialogs/chart/stylepage.h"
#include "dialogs/chart/viewpage.h"
#include "dialogs/chart/wallspage.h"
#include "dialogs/chart/windowpage.h"
#include "dialogs/dialogutil.h"
#include "dialogs/formatpage.h"
#include "dialogs/toolpictures.h"
#include "model/blockobject.h"
#include "platform/core/errorcode.h"
#include "ui/messages.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QScreen>
#include <QShowEvent>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>

namespace vl {

namespace {

// Where the window was when it was last closed, for every workbook window of the run.
QRect& LastPlace() {
    static QRect place;
    return place;
}

const char* const kTabTexts[CContainerPropertiesDlg::kPageCount] = {
    "Data",          "View",       "Style",         "Axes",   "Grid",  "Walls/Size",
    "Titles/Legend", "3D Options", "Contents/Size", "Window", "Titles"};

constexpr int kButtonIds[10] = {33044, 33043, 33045, 57670, 33046, 33047, 33048, 0, 0, 0};

} // namespace

CContainerPropertiesDlg::CContainerPropertiesDlg(ContainerDlgHost host, QWidget* owner)
    : QDialog(owner), host_(std::move(host)), work_(NewBlockObject<CContainer>()) {
    setModal(false);
    setWindowTitle(QStringLiteral("Container"));
    resize(DialogUnitsToPixels(289, 199));
    if (work_) InitContainerDefaults(*work_, nullptr, nullptr);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 4);
    BuildToolBars();
    BuildSeriesRow();
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("id1052"));
    // The eight chart tabs fit the window's width only with narrower padding.
    tabs_->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 4px 5px; }"));
    layout->addWidget(tabs_, 1);
    // One page object per tab, kept for the window's life.
    auto* options3D = new CChart3DOptionsPage(this);
    options3D->apply = [this] { OnApply(); };
    pages_ = {new CChartDataPage(this, host_.formatPages),
              new CChartViewPage(this),
              new CChartStylePage(this),
              new CChartAxesPage(this),
              new CChartGridPage(this),
              new CChartWallsPage(this),
              new CChartTitlesPage(this),
              options3D,
              new CContainerContentsPage(this),
              new CContainerWindowPage(this),
              new CContainerTitlesPage(this)};
    for (CChartPage* page : pages_) page->hide();
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) { OnTabChanged(index); });
}

CContainerPropertiesDlg::~CContainerPropertiesDlg() {
    // The pages are kept apart from the tabs, which would otherwise delete them twice.
    while (tabs_->count()) tabs_->removeTab(0);
}

void CContainerPropertiesDlg::BuildToolBars() {
    auto* bar = new QHBoxLayout;
    objectButton_ = new QToolButton(this);
    objectButton_->setObjectName(QStringLiteral("id33035"));
    objectButton_->setPopupMode(QToolButton::InstantPopup);
    objectButton_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    // Room for the menu arrow, which is drawn over the text's end otherwise.
    objectButton_->setStyleSheet(QStringLiteral("QToolButton { padding-right: 12px; }"));
    objectMenu_ = new QMenu(objectButton_);
    objectButton_->setMenu(objectMenu_);
    connect(objectMenu_, &QMenu::aboutToShow, this, [this] { FillObjectMenu(*objectMenu_); });
    bar->addWidget(objectButton_);
    bar->addSpacing(8);
    // Keys for the steps of filling a chart, which the mouse alone reached before.
    const char* const texts[7] = {"Later",      "Earlier",     " &Apply",       " Help",
                                  "&Reference", "A&dd Series", "Re&move Series"};
    for (int i = 0; i < 7; ++i) {
        auto* b = new QToolButton(this);
        b->setObjectName(QStringLiteral("id%1").arg(kButtonIds[i]));
        b->setText(QString::fromLatin1(texts[i]));
        b->setAutoRaise(true);
        // Apply and Help keep their texts beside their pictures.
        ShowToolPicture(*b, kContainerList, i, i == 2 || i == 3);
        buttons_[i] = b;
        const int id = kButtonIds[i];
        connect(b, &QToolButton::clicked, this, [this, id] { OnCommand(id); });
        if (i < 4) bar->addWidget(b);
    }
    bar->addStretch(1);
    static_cast<QVBoxLayout*>(layout())->addLayout(bar);
}

void CContainerPropertiesDlg::BuildSeriesRow() {
    auto* row = new QHBoxLayout;
    type_ = new QComboBox(this);
    type_->setObjectName(QStringLiteral("id215"));
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("id205"));
    name_->setMaxLength(127);
    formula_ = new QLineEdit(this);
    formula_->setObjectName(QStringLiteral("id257"));
    formula_->setMaxLength(1024);
    row->addWidget(type_, 55);
    row->addWidget(name_, 48);
    row->addWidget(formula_, 153);
    row->addWidget(buttons_[4]);
    static_cast<QVBoxLayout*>(layout())->addLayout(row);
    auto* frame = new QHBoxLayout;
    auto* lists = new QVBoxLayout;
    lists->setSpacing(0);
    header_ = new QHeaderView(Qt::Horizontal, this);
    auto* model = new QStandardItemModel(0, 3, header_);
    model->setHorizontalHeaderLabels(
        {QStringLiteral("Series Type"), QStringLiteral("Name"), QStringLiteral("Array Formula")});
    header_->setModel(model);
    header_->setStretchLastSection(true);
    header_->setFixedHeight(header_->fontMetrics().height() + 6);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("id1020"));
    lists->addWidget(header_);
    lists->addWidget(list_);
    frame->addLayout(lists, 1);
    auto* side = new QVBoxLayout;
    side->addWidget(buttons_[5]);
    side->addWidget(buttons_[6]);
    side->addStretch(1);
    frame->addLayout(side);
    static_cast<QVBoxLayout*>(layout())->addLayout(frame);
    connect(type_, &QComboBox::activated, this, [this] {
        ExchangeSeriesRow(true);
        FillCurrentPage();
    });
    connect(name_, &QLineEdit::textEdited, this, [this] { ExchangeSeriesRow(true); });
    connect(formula_, &QLineEdit::textEdited, this, [this] {
        if (SelectedChart()) ExchangeSeriesRow(true);
    });
    connect(list_, &QListWidget::currentRowChanged, this, [this](int r) { OnSeriesChanged(r); });
}

QToolButton* CContainerPropertiesDlg::Button(int id) const {
    if (id == kObjectButton) return objectButton_;
    for (int i = 0; i < 7; ++i)
        if (kButtonIds[i] == id) return buttons_[i];
    return nullptr;
}

bool CContainerPropertiesDlg::Open(const CContainer* container) {
    hide();
    if (!work_) work_ = NewBlockObject<CContainer>();
    if (!work_) return false;
    object_ = series_ = shownTab_ = -1;
    ClearContainerItems(*work_);
    work_->settings = ContainerSettings{};
    InitContainerDefaults(*work_, nullptr, nullptr);
    work_->selected = -1;
    if (container) {
        if (!CopyContainerTo(*container, *work_)) {
            ShowErrorMessage(kErrorContainerMemory);
            return false;
        }
        object_ = container->selected;
    }
    KeepBase(container);
    QString caption = QStringLiteral("Container");
    if (container) caption += QStringLiteral(" [id: %1]").arg(container->settings.id);
    setWindowTitle(caption.left(100));
    SelectObject(object_);
    show();
    activateWindow(); // the keys go to the dialog just opened, with a window manager or not
    ApplyProfileOpacity(this);
    return true;
}

void CContainerPropertiesDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Place();
}

void CContainerPropertiesDlg::hideEvent(QHideEvent* event) {
    if (!event->spontaneous()) {
        LastPlace() = frameGeometry();
        // A step named for this window means nothing once it is closed.
        Hint(QString());
    }
    QDialog::hideEvent(event);
}

void CContainerPropertiesDlg::Place() {
    QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QRect last = LastPlace();
    if (!last.isNull() && last.left() > area.left() && last.left() <= area.right() &&
        last.top() > area.top() && last.top() <= area.bottom()) {
        move(last.topLeft());
        return;
    }
    const QRect over =
        parentWidget() && parentWidget()->isVisible()
            ? QRect(parentWidget()->mapToGlobal(QPoint(0, 0)), parentWidget()->size())
            : area;
    QRect frame = frameGeometry();
    frame.moveCenter(over.center());
    frame.moveRight(std::min(frame.right(), area.right()));
    frame.moveBottom(std::min(frame.bottom(), area.bottom()));
    frame.moveLeft(std::max(frame.left(), area.left()));
    frame.moveTop(std::max(frame.top(), area.top()));
    move(frame.topLeft());
}

CChart* CContainerPropertiesDlg::SelectedChart() const {
    if (object_ < 0 || object_ >= work_->settings.objectCount) return nullptr;
    return work_->slots[object_].chart.get();
}

int CContainerPropertiesDlg::ShownPage() const {
    const int tab = tabs_->currentIndex();
    if (tab < 0) return -1;
    return object_ < 0 ? kChartPages + tab : tab;
}

void CContainerPropertiesDlg::SelectObject(int index) {
    object_ = index;
    shownTab_ = -1;
    formulaRefused_ = false;
    {
        const QSignalBlocker blockTabs(tabs_);
        while (tabs_->count()) tabs_->removeTab(0);
    }
    for (CChartPage* page : pages_) page->hide();
    const QSignalBlocker blockList(list_);
    type_->clear();
    name_->clear();
    formula_->clear();
    list_->clear();
    series_ = -1;
    const bool container = index < 0;
    CChart* chart = SelectedChart();
    if (!container && !chart) {
        objectButton_->setText(QString());
        return;
    }
    objectButton_->setText(container ? QStringLiteral("Container Window")
                                     : QString::fromStdString(ChartObjectLabel(*work_, index)));
    for (QWidget* w : {static_cast<QWidget*>(type_), static_cast<QWidget*>(name_),
                       static_cast<QWidget*>(formula_), static_cast<QWidget*>(list_)})
        w->setEnabled(!container);
    for (int id : {33044, 33043, 33046, 33047, 33048}) Button(id)->setEnabled(!container);
    if (chart) {
        for (int p = 0; p < 3; ++p)
            type_->addItem(QString::fromLatin1(SeriesTypeLabel(chart->settings.type, p)));
        type_->setCurrentIndex(0);
        FillSeriesList();
        if (list_->count()) {
            list_->setCurrentRow(0);
            series_ = 0;
        }
        ExchangeSeriesRow(false);
    }
    const int first = container ? kChartPages : 0;
    const int count = container ? kPageCount - kChartPages : kChartPages;
    {
        const QSignalBlocker blockTabs(tabs_);
        for (int i = 0; i < count; ++i)
            tabs_->addTab(pages_[first + i], QString::fromLatin1(kTabTexts[first + i]));
        tabs_->setCurrentIndex(0);
    }
    shownTab_ = 0;
    FillCurrentPage();
}

bool CContainerPropertiesDlg::ExchangeCurrentPage(bool save) {
    const int number = ShownPage();
    if (number < 0) return true;
    CChartPage* page = pages_[number];
    if (number >= kChartPages) return page->Exchange(save, *work_);
    CChart* chart = SelectedChart();
    return page->Exchange(save, chart, number < 5 ? series_ : -1);
}

void CContainerPropertiesDlg::OnTabChanged(int index) {
    // The page left is read back first; a refusal keeps the user on it.
    if (shownTab_ >= 0 && shownTab_ != index) {
        const QSignalBlocker block(tabs_);
        const int wanted = index;
        tabs_->setCurrentIndex(shownTab_);
        const bool taken = ExchangeCurrentPage(true);
        if (!taken) return;
        tabs_->setCurrentIndex(wanted);
    }
    shownTab_ = index;
    FillCurrentPage();
}

void CContainerPropertiesDlg::FillObjectMenu(QMenu& menu) {
    menu.clear();
    const auto entry = [this, &menu](const QString& text, int id, bool ticked) {
        QAction* a = menu.addAction(text);
        a->setCheckable(true);
        a->setChecked(ticked);
        connect(a, &QAction::triggered, this, [this, id] { ChooseObject(id); });
    };
    entry(QStringLiteral("Container Window"), 1, object_ < 0);
    for (int i = 0; i < work_->settings.objectCount; ++i)
        entry(QString::fromStdString(ChartObjectLabel(*work_, i)), i + 2, object_ == i);
    menu.addSeparator();
    QMenu* add = menu.addMenu(QStringLiteral("Add Chart"));
    const std::pair<const char*, int> charts[3] = {
        {"2D Chart", kAdd2D}, {"XY Chart", kAddXY}, {"3D Chart", kAdd3D}};
    for (const auto& [text, id] : charts) {
        const int command = id;
        connect(add->addAction(QString::fromLatin1(text)), &QAction::triggered, this,
                [this, command] { ChooseObject(command); });
    }
    connect(menu.addAction(QStringLiteral("Remove")), &QAction::triggered, this,
            [this] { ChooseObject(kRemoveObject); });
}

void CContainerPropertiesDlg::ChooseObject(int id) {
    if (!ExchangeCurrentPage(true)) return;
    if (id == 1) return SelectObject(-1);
    if (id >= 2 && id - 2 < work_->settings.objectCount) return SelectObject(id - 2);
    if (id == kAdd2D) return AddChart(kChart2D);
    if (id == kAddXY) return AddChart(kChartXY);
    if (id == kAdd3D) return AddChart(kChart3D);
    if (id == kRemoveObject && object_ >= 0) SelectObject(RemoveChartObject(*work_, object_));
}

void CContainerPropertiesDlg::AddChart(uint8_t type) {
    if (const int error = AddChartObject(*work_, type)) return ShowErrorMessage(error);
    SelectObject(work_->settings.objectCount - 1);
}

void CContainerPropertiesDlg::OnMoveObject(bool later) {
    int slot = object_;
    if (!MoveChartObject(*work_, slot, later)) return;
    object_ = slot;
    OnApply();
}

void CContainerPropertiesDlg::SyncPlacement(const CContainer& container) {
    if (!isVisible() || container.settings.id != work_->settings.id) return;
    const bool contents = ShownPage() == kChartPages;
    if (contents) ExchangeCurrentPage(true);
    ContainerSettings& s = work_->settings;
    s.anchor = container.settings.anchor;
    s.left = container.settings.left;
    s.top = container.settings.top;
    s.right = container.settings.right;
    s.bottom = container.settings.bottom;
    if (contents) FillCurrentPage();
}

void CContainerPropertiesDlg::KeepBase(const CContainer* container) {
    base_.reset();
    if (!container) return;
    base_ = NewBlockObject<CContainer>();
    if (!base_) return;
    InitContainerDefaults(*base_, nullptr, nullptr);
    // Without the copy nothing follows; the window keeps working on its own copy.
    if (!CopyContainerTo(*container, *base_)) base_.reset();
}

namespace {

// The chart in slot `i` of each of the three, or null when one of them has none there.
bool ChartsAt(int i, const CContainer& a, const CContainer& b, const CContainer& c) {
    return i < a.settings.objectCount && i < b.settings.objectCount && i < c.settings.objectCount &&
           a.slots[i].chart && b.slots[i].chart && c.slots[i].chart;
}

// Takes `now` into `mine` when `mine` still equals `was`; true when it changed.
template <std::size_t N>
bool FollowText(char (&mine)[N], const char (&was)[N], const char (&now)[N]) {
    if (std::strcmp(mine, was) != 0 || std::strcmp(now, was) == 0) return false;
    std::memcpy(mine, now, N);
    return true;
}

} // namespace

void CContainerPropertiesDlg::Follow(const CContainer& container) {
    if (!work_ || container.settings.id != work_->settings.id) return;
    if (!base_) return KeepBase(&container);
    // The placement page's fields are the user's: they go into the copy first.
    const bool contents = isVisible() && ShownPage() == kChartPages;
    if (contents) ExchangeCurrentPage(true);
    // So is a series row typed into but not yet read back: that series stays as typed.
    bool rowTyped = false;
    if (const CChart* chart = SelectedChart();
        isVisible() && chart && series_ >= 0 && series_ < chart->settings.seriesCount) {
        SeriesSettings typed = chart->series[series_].settings;
        const SeriesSettings& held = chart->series[series_].settings;
        rowTyped = !ReadRow(typed, false) || std::strcmp(typed.name, held.name) != 0 ||
                   std::strcmp(typed.dataArray, held.dataArray) != 0;
    }
    ContainerSettings& mine = work_->settings;
    const ContainerSettings& was = base_->settings;
    const ContainerSettings& now = container.settings;
    if (mine.anchor.column == was.anchor.column && mine.anchor.row == was.anchor.row)
        mine.anchor = now.anchor;
    for (auto side : {&ContainerSettings::left, &ContainerSettings::top, &ContainerSettings::right,
                      &ContainerSettings::bottom})
        if (mine.*side == was.*side) mine.*side = now.*side;
    bool rowChanged = false;
    for (int i = 0; i < kMaxContainerObjects; ++i) {
        if (!ChartsAt(i, *work_, *base_, container)) continue;
        CChart& w = *work_->slots[i].chart;
        const CChart& b = *base_->slots[i].chart;
        const CChart& c = *container.slots[i].chart;
        const int count = std::min({int(w.settings.seriesCount), int(b.settings.seriesCount),
                                    int(c.settings.seriesCount)});
        for (int k = 0; k < count; ++k) {
            const bool shownRow = i == object_ && k == series_;
            if (shownRow && rowTyped) continue;
            SeriesSettings& sw = w.series[k].settings;
            const SeriesSettings& sb = b.series[k].settings;
            const SeriesSettings& sc = c.series[k].settings;
            bool changed = FollowText(sw.dataArray, sb.dataArray, sc.dataArray);
            changed = FollowText(sw.name, sb.name, sc.name) || changed;
            changed = FollowText(sw.relatedX, sb.relatedX, sc.relatedX) || changed;
            changed = FollowText(sw.relatedSigma, sb.relatedSigma, sc.relatedSigma) || changed;
            if (changed) w.flags = 0;
            if (changed && shownRow) rowChanged = true;
        }
    }
    KeepBase(&container);
    if (!isVisible()) return;
    if (rowChanged) ExchangeSeriesRow(false);
    list_->viewport()->update();
    if (contents) FillCurrentPage();
}

void CContainerPropertiesDlg::OnCommand(int id) {
    switch (id) {
    case kApply:
        return OnApply();
    case kHelp:
        if (host_.help) {
            const CChart* chart = SelectedChart();
            const uint8_t type = chart ? chart->settings.type : 0;
            host_.help(!chart ? 4 : type == kChartXY ? 6 : type == kChart3D ? 7 : 5);
        }
        return;
    case kMoveEarlier:
        return OnMoveObject(false);
    case kMoveLater:
        return OnMoveObject(true);
    case kInsertReference:
        return InsertSelectionReference();
    case kAddSeries:
        return OnAddSeries();
    case kRemoveSeries:
        return OnRemoveSeries();
    default:
        return ChooseObject(id);
    }
}

} // namespace vl
