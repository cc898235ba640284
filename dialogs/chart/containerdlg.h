#pragma once
// The container properties window: a modeless window over a working copy of one
// container, with an object button (the container or one of its charts), a series row and
// list for the selected chart, and its property pages in tabs. Apply hands the copy back.

#include "model/container.h"

#include <QDialog>
#include <array>
#include <functional>
#include <memory>
#include <string>

class QComboBox;
class QHeaderView;
class QLineEdit;
class QListWidget;
class QMenu;
class QTabWidget;
class QToolButton;

namespace vl {

class CChartPage;
class CEvalContext;
class IFormatPages;

// What the window needs of the workbook window that owns it.
struct ContainerDlgHost {
    // Stores the applied working copy in the worksheet.
    std::function<void(const CContainer&)> apply;
    // The context formulas are rewritten in; null leaves them as typed.
    std::function<CEvalContext*()> context;
    // The active worksheet's path and the selection's reference in the user's notation;
    // false when there is no selection.
    std::function<bool(std::string& path, std::string& reference)> selection;
    std::function<void(int topic)> help;
    // Tells the user the next step of making a chart; an empty text clears it.
    std::function<void(const QString& text)> hint;
    // The pages the Data page opens its number format page from (not owned); null leaves
    // its Numeric Format button without effect.
    IFormatPages* formatPages = nullptr;
};

class CContainerPropertiesDlg : public QDialog {
public:
    enum Command : int {
        kObjectButton = 33035,
        kAdd2D = 33037,
        kAddXY = 33038,
        kAdd3D = 33039,
        kRemoveObject = 33040,
        kMoveEarlier = 33043,
        kMoveLater = 33044,
        kApply = 33045,
        kInsertReference = 33046,
        kAddSeries = 33047,
        kRemoveSeries = 33048,
        kHelp = 57670,
    };
    // Pages by number: chart pages 0 to 7, container pages 8 to 10.
    static constexpr int kChartPages = 8;
    static constexpr int kPageCount = 11;

    CContainerPropertiesDlg(ContainerDlgHost host, QWidget* owner);
    ~CContainerPropertiesDlg() override;

    // Resets the working copy, copies the container into it when given and shows the
    // window on its current object.
    bool Open(const CContainer* container);
    // A drag on the grid moved or resized the container: the working copy follows.
    void SyncPlacement(const CContainer& container);
    // An edit elsewhere (rows inserted, a worksheet renamed, Undo) may have rewritten the
    // container's anchor and series texts: each one the user has not changed here since the
    // copy was made follows, so that Apply does not put the old place back.
    void Follow(const CContainer& container);

    CContainer& Working() { return *work_; }
    int SelectedObject() const { return object_; }
    int SelectedSeries() const { return series_; }
    CChart* SelectedChart() const;
    void SelectObject(int index);
    // An entry of the object menu: 1 the container, i + 2 slot i, or a menu command.
    void ChooseObject(int id);
    void OnCommand(int id);
    CChartPage* Page(int number) const { return pages_[number]; }
    // The page shown, by its number, or -1.
    int ShownPage() const;
    QTabWidget* Tabs() const { return tabs_; }
    QListWidget* SeriesList() const { return list_; }
    QToolButton* Button(int id) const;
    // The object menu as it opens now.
    void FillObjectMenu(QMenu& menu);

protected:
    void hideEvent(QHideEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildToolBars();
    void BuildSeriesRow();
    void Place();
    // Keeps a copy of the container the working copy now matches (none for none).
    void KeepBase(const CContainer* container);
    bool ExchangeCurrentPage(bool save);
    void FillCurrentPage() { ExchangeCurrentPage(false); }
    void OnTabChanged(int index);
    void OnSeriesChanged(int row);
    void ExchangeSeriesRow(bool save);
    bool ReadRow(SeriesSettings& s, bool typeless);
    void FillSeriesList();
    void OnApply();
    void OnAddSeries();
    void OnRemoveSeries();
    void OnMoveObject(bool later);
    void InsertSelectionReference();
    void Hint(const QString& text);
    void AddChart(uint8_t type);
    bool RowBlocks();

    ContainerDlgHost host_;
    std::unique_ptr<CContainer> work_;
    std::unique_ptr<CContainer> base_; // the container as the copy last matched it
    int object_ = -1;
    int series_ = -1;
    int shownTab_ = -1;
    // A typed formula that cannot be stored: Apply and Add Series wait for a good one.
    bool formulaRefused_ = false;
    std::array<CChartPage*, kPageCount> pages_{};
    QToolButton* objectButton_ = nullptr;
    QMenu* objectMenu_ = nullptr;
    std::array<QToolButton*, 10> buttons_{};
    QComboBox* type_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLineEdit* formula_ = nullptr;
    QHeaderView* header_ = nullptr;
    QListWidget* list_ = nullptr;
    QTabWidget* tabs_ = nullptr;
};

} // namespace vl
