#pragma once
// Whether every text of a shown dialog fits the room its layout gave it at the default
// font: each label, check box, radio button and push button at least as wide as its size
// hint, each combo box at least as wide as its widest item needs, and no such text drawn
// over another control.

#include "dialogs/combos.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QWidget>
#include <algorithm>
#include <string>
#include <vector>

namespace vl::dialogtest {

// "name: text needs w, has v" for each widget of `top` shown that cuts its text off.
inline std::vector<std::string> CutTexts(QWidget& top) {
    std::vector<std::string> cut;
    auto check = [&](QWidget* w, const QString& text, int needed) {
        if (!w->isVisibleTo(&top)) return;
        // The room is what the widget has, less what its parents cut off at the right.
        int has = w->width();
        for (QWidget* p = w->parentWidget(); p && w != &top; p = p->parentWidget()) {
            const QPoint at = w->mapTo(p, QPoint(0, 0));
            has = std::min(has, p->width() - at.x());
            if (p == &top) break;
        }
        if (has >= needed) return;
        cut.push_back(w->objectName().toStdString() + " \"" + text.toStdString() + "\" needs " +
                      std::to_string(needed) + ", has " + std::to_string(has));
    };
    for (QLabel* label : top.findChildren<QLabel*>())
        if (!label->text().isEmpty() && !label->wordWrap() && label->pixmap().isNull())
            check(label, label->text(), label->sizeHint().width());
    for (QAbstractButton* button : top.findChildren<QAbstractButton*>())
        if (!button->text().isEmpty()) check(button, button->text(), button->sizeHint().width());
    for (QComboBox* combo : top.findChildren<QComboBox*>()) {
        if (combo->isEditable() || combo->count() == 0) continue;
        if (combo->itemText(0).isEmpty()) {
            // A colour box draws a 32-pixel swatch and then the colour's name in the
            // system font: as wide as a plain box of the names, plus the swatch.
            if (dynamic_cast<CColorCombo*>(combo)) {
                QComboBox names;
                QFont font(QStringLiteral("Liberation Sans"));
                font.setPixelSize(13);
                font.setBold(true);
                names.setFont(font);
                for (int i = 0; i <= CColorCombo::kCustomItem; ++i) names.addItem(ColorItemName(i));
                names.setSizeAdjustPolicy(QComboBox::AdjustToContents);
                check(combo, "(colour)", names.sizeHint().width() + 32);
            }
            continue;
        }
        // The widest item, as a combo sized to its contents would be.
        QComboBox probe;
        probe.setFont(combo->font());
        for (int i = 0; i < combo->count(); ++i) probe.addItem(combo->itemText(i));
        probe.setSizeAdjustPolicy(QComboBox::AdjustToContents);
        check(combo, combo->currentText(), probe.sizeHint().width());
    }
    return cut;
}

// A widget the user works: what a text must not be drawn over.
inline bool IsControl(const QWidget* w) {
    return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QComboBox*>(w) ||
           qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractScrollArea*>(w) ||
           qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QAbstractSlider*>(w) ||
           qobject_cast<const QLabel*>(w);
}

// "label "text" overlaps name" for each label or button text of `top` shown whose box
// meets that of another control shown beside it (not one inside the other).
inline std::vector<std::string> OverlappingTexts(QWidget& top) {
    std::vector<QWidget*> controls;
    for (QWidget* w : top.findChildren<QWidget*>())
        if (w->isVisibleTo(&top) && IsControl(w)) controls.push_back(w);
    auto box = [&top](const QWidget* w) { return QRect(w->mapTo(&top, QPoint(0, 0)), w->size()); };
    auto text = [](const QWidget* w) {
        if (const auto* label = qobject_cast<const QLabel*>(w)) return label->text();
        if (const auto* button = qobject_cast<const QAbstractButton*>(w)) return button->text();
        return QString();
    };
    std::vector<std::string> overlaps;
    for (QWidget* w : controls) {
        if (text(w).isEmpty()) continue;
        for (QWidget* other : controls) {
            if (other == w || w->isAncestorOf(other) || other->isAncestorOf(w)) continue;
            // Two texts meeting are reported once.
            if (!text(other).isEmpty() && other < w) continue;
            if (!box(w).intersects(box(other))) continue;
            overlaps.push_back(w->objectName().toStdString() + " \"" + text(w).toStdString() +
                               "\" overlaps " + other->objectName().toStdString());
        }
    }
    return overlaps;
}

// Both faults of a shown widget: texts cut short and texts over other controls.
inline std::vector<std::string> TextFaults(QWidget& top) {
    std::vector<std::string> faults = CutTexts(top);
    for (std::string& o : OverlappingTexts(top)) faults.push_back(std::move(o));
    return faults;
}

// Shows the dialog and, for a tab widget inside it, each of its pages in turn.
inline std::vector<std::string> TextFaultsOnEveryPage(QWidget& top) {
    top.show();
    QApplication::processEvents();
    std::vector<std::string> cut = TextFaults(top);
    for (QTabWidget* tabs : top.findChildren<QTabWidget*>()) {
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            QApplication::processEvents();
            for (std::string& c : TextFaults(top))
                cut.push_back(tabs->tabText(i).toStdString() + ": " + std::move(c));
        }
    }
    top.hide();
    return cut;
}

} // namespace vl::dialogtest
