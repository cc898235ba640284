#pragma once
// What every page of the container properties window shares: the two-way exchange with
// the edited record, enabling groups of controls, and numeric fields with their up-downs.

#include "dialogs/numberedit.h"

#include <QComboBox>
#include <QWidget>
#include <initializer_list>

class QGridLayout;
class QLineEdit;

namespace vl {

class CChart;
class CContainer;

class CChartPage : public QWidget {
public:
    explicit CChartPage(QWidget* parent = nullptr);
    // Chart pages: save false fills the controls from the chart (and the series at
    // `item`, -1 for none); save true reads them back. False only when a save met an
    // entry it refuses, after a beep with the focus in that control.
    virtual bool Exchange(bool save, CChart* chart, int item);
    // Container pages: the same with the working container.
    virtual bool Exchange(bool save, CContainer& container);

    // The control of the id ("id<id>"), or null.
    template <class T> T* Item(int id) const {
        return findChild<T*>(QStringLiteral("id%1").arg(id));
    }

protected:
    bool Refuse(QWidget* control);
};

void EnableDlgItems(QWidget* page, bool enable, std::initializer_list<int> ids);

// Gives a control its name, "id" and the id, by which pages and tests find it.
template <class T> T* Named(T* control, int id) {
    control->setObjectName(QStringLiteral("id%1").arg(id));
    return control;
}

// A colour combo that the layout may not narrow below its full text ("default" and all).
template <class T> T* Unsqueezed(T* control) {
    control->setMinimumContentsLength(7);
    control->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return control;
}

// Pies (2D and 3D) have no axis and no grid.
bool IsPieKind(uint8_t kind);
// A whole number, blanks around it allowed, within the bounds.
bool ReadWholeNumber(const QString& text, int64_t minimum, int64_t maximum, int64_t& value);
// A number typed in the edit: its first 330 characters, one number with the user's decimal
// separator and nothing but blanks around it (a blank text is 0). False for anything else.
bool ReadChartNumber(const QLineEdit& edit, double& value);
// The edit's text, cut to the field's size less its terminator.
void StoreEditText(const QLineEdit* edit, char* field, size_t size);

// A whole-number field with its up-down, put in the grid at (row, column) and beside it.
CNumberEdit* AddSpinField(QWidget* page, QGridLayout* grid, int row, int column, int editId,
                          int spinId, int32_t minimum, int32_t maximum);

// The clock the up-downs of the pages accelerate by.

} // namespace vl
