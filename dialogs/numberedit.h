#pragma once
// A numeric edit field: it takes only the characters of its kind and steps its value when
// the up-down beside it is pressed.

#include <QLineEdit>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QTimer;
class QToolButton;

namespace vl {

class IClock;

// A decimal integer with blanks before and after it; blanks alone are 0.
bool ParseInteger(const std::string& text, int64_t& value);

class CNumberEdit : public QLineEdit {
public:
    enum Kind : uint16_t { kPlain = 0, kInteger = 1, kDecimal = 2, kColumnLetters = 3 };

    explicit CNumberEdit(QWidget* parent = nullptr);
    void SetInteger(int32_t minimum, int32_t maximum);
    void SetDecimal(double minimum, double maximum, int decimals);
    // Bounds are 1-based column numbers.
    void SetColumnLetters(int32_t minimum, int32_t maximum);
    Kind NumberKind() const { return kind_; }
    char DecimalSeparator() const { return decimal_; }
    void SetDecimalSeparator(char decimal) { decimal_ = decimal; }
    // Adds `delta` (tenths for decimals) within the bounds; false after a beep when the
    // text is no number of the kind. A plain field changes nothing and returns true.
    bool Step(int delta);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool Accepts(char16_t c) const;

    Kind kind_ = kPlain;
    int32_t minimum_ = 0;
    int32_t maximum_ = 0;
    double minimumValue_ = 0;
    double maximumValue_ = 0;
    int decimals_ = -1;
    char decimal_ = '.';
};

// The arrows beside a numeric field. Its position is parked at 5,000 of 0 to 10,000 so
// that it never runs into an end; each press steps by 1, a held press by 5 after 4 seconds
// and by 10 after 6 (by the clock), and reports the step.
class CUpDown : public QWidget {
public:
    static constexpr int kParked = 5000;
    CUpDown(const IClock& clock, QWidget* parent = nullptr);
    // Called with +step or -step.
    std::function<void(int delta)> onStep;
    // One step in the direction given; `held` tells a repeat of a held press.
    void Press(int direction, bool held);
    // The step from each time held on, in seconds (earliest first; the first is from 0).
    struct Acceleration {
        int64_t seconds;
        int step;
    };
    void SetAcceleration(std::vector<Acceleration> steps) { acceleration_ = std::move(steps); }
    int Position() const { return position_; }
    // The field the arrows step: its Up and Down keys press them (held keys as held
    // buttons), and the arrows leave the tab order, where the field stands for them.
    void SetBuddy(QWidget* field);
    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

private:
    const IClock& clock_;
    QToolButton* up_;
    QToolButton* down_;
    QTimer* repeat_;
    QObject* buddyKeys_ = nullptr;
    int heldDirection_ = 1;
    int position_ = kParked;
    int64_t pressedAt_ = 0;
    std::vector<Acceleration> acceleration_{{0, 1}, {4, 5}, {6, 10}};
};

} // namespace vl
