#include "dialogs/numberedit.h"

#include "core/clock.h"
#include "core/settings.h"
#include "ui/uiservices.h"
#include "ui/uiutil.h"

#include <QKeyEvent>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <string>

namespace vl {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

} // namespace

bool ParseInteger(const std::string& text, int64_t& value) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    const size_t digits = i;
    int64_t v = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        v = std::min<int64_t>(v * 10 + (text[i] - '0'), int64_t(1) << 40);
        ++i;
    }
    if (i == digits) { // nothing converted, not even the sign: only blanks may be there
        value = 0;
        return std::all_of(text.begin(), text.end(), IsBlank);
    }
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i != text.size()) return false;
    value = negative ? -v : v;
    return true;
}

CNumberEdit::CNumberEdit(QWidget* parent) : QLineEdit(parent) {
    decimal_ = UserSeparators().decimal;
}

void CNumberEdit::SetInteger(int32_t minimum, int32_t maximum) {
    kind_ = kInteger;
    minimum_ = minimum;
    maximum_ = maximum;
}

void CNumberEdit::SetDecimal(double minimum, double maximum, int decimals) {
    kind_ = kDecimal;
    minimumValue_ = minimum;
    maximumValue_ = maximum;
    decimals_ = decimals;
}

void CNumberEdit::SetColumnLetters(int32_t minimum, int32_t maximum) {
    kind_ = kColumnLetters;
    minimum_ = minimum;
    maximum_ = maximum;
}

bool CNumberEdit::Accepts(char16_t c) const {
    if (kind_ == kPlain || c < 32) return true;
    const bool digit = c >= '0' && c <= '9';
    switch (kind_) {
    case kInteger:
        return digit || c == '-';
    case kDecimal:
        return digit || c == '-' || c == char16_t(uint8_t(decimal_));
    case kColumnLetters:
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    default:
        return true;
    }
}

void CNumberEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        event->accept(); // context help has no text to show here
        return;
    }
    const QString text = event->text();
    for (QChar c : text) {
        if (!Accepts(c.unicode())) {
            UiServices().Beep();
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

bool CNumberEdit::Step(int delta) {
    const std::string current = text().left(30).toStdString();
    std::string result;
    switch (kind_) {
    case kPlain:
        return true;
    case kInteger: {
        int64_t value = 0;
        if (!ParseInteger(current, value)) {
            UiServices().Beep();
            return false;
        }
        value = std::min<int64_t>(std::max<int64_t>(value + delta, minimum_), maximum_);
        result = std::to_string(value);
        break;
    }
    case kDecimal: {
        double value = 0;
        if (!ParseNumber(current, decimal_, value)) {
            UiServices().Beep();
            return false;
        }
        value += delta * 0.1;
        if (value < minimumValue_) value = minimumValue_;
        if (value > maximumValue_) value = maximumValue_;
        result = FormatNumber(decimal_, value, decimals_);
        break;
    }
    case kColumnLetters: {
        uint32_t number = 0;
        if (!ColumnLettersToNumber(text().left(30).toUpper().toStdString(), number)) {
            UiServices().Beep();
            return false;
        }
        int64_t value = int64_t(number) + delta;
        value = std::min<int64_t>(std::max<int64_t>(value, minimum_), maximum_);
        result = ColumnNumberToLetters(uint32_t(std::max<int64_t>(value, 0)));
        break;
    }
    }
    setText(QString::fromLatin1(result.data(), int(result.size())));
    return true;
}

CUpDown::CUpDown(const IClock& clock, QWidget* parent)
    : QWidget(parent), clock_(clock), up_(new QToolButton(this)), down_(new QToolButton(this)),
      repeat_(new QTimer(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    repeat_->setInterval(100);
    for (QToolButton* button : {up_, down_}) {
        button->setFixedSize(16, 11);
        layout->addWidget(button);
        const int direction = button == up_ ? 1 : -1;
        // The press steps at once; a held button repeats until it is released.
        QObject::connect(button, &QToolButton::pressed, this, [this, direction] {
            Press(direction, false);
            heldDirection_ = direction;
            repeat_->start();
        });
        QObject::connect(button, &QToolButton::released, repeat_, &QTimer::stop);
    }
    QObject::connect(repeat_, &QTimer::timeout, this, [this] { Press(heldDirection_, true); });
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
}

namespace {

// Up and Down in the buddy field press the arrows beside it.
class CBuddyKeys : public QObject {
public:
    explicit CBuddyKeys(CUpDown* upDown) : QObject(upDown), upDown_(upDown) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & ~Qt::KeypadModifier) return false;
        const int direction = key->key() == Qt::Key_Up ? 1 : key->key() == Qt::Key_Down ? -1 : 0;
        if (direction == 0) return false;
        upDown_->Press(direction, key->isAutoRepeat());
        return true;
    }

private:
    CUpDown* upDown_;
};

} // namespace

void CUpDown::SetBuddy(QWidget* field) {
    if (!buddyKeys_) buddyKeys_ = new CBuddyKeys(this);
    field->installEventFilter(buddyKeys_);
    up_->setFocusPolicy(Qt::NoFocus);
    down_->setFocusPolicy(Qt::NoFocus);
}

void CUpDown::Press(int direction, bool held) {
    const int64_t now = clock_.NowSeconds();
    if (!held) pressedAt_ = now;
    const int64_t heldFor = now - pressedAt_;
    int step = 1;
    for (const Acceleration& a : acceleration_)
        if (heldFor >= a.seconds) step = a.step;
    const int delta = direction * step;
    if (onStep) onStep(delta);
    position_ = kParked; // parked again at once, so the next press never meets an end
}

} // namespace vl
