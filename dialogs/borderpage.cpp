#include "dialogs/borderpage.h"

#include "model/formatattribute.h"
#include "ui_borderpage.h"

#include <QKeyEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <utility>

namespace vl {

namespace {

constexpr int kMargin = 15;

struct {
    bool filled = false;
    StyleRecord record;
} g_clipboard;

QColor ColorOf(SystemColor code) {
    const COLORREF c = GetSystemColor(code);
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

} // namespace

CCellBorderWnd::CCellBorderWnd(CBorderPage& page, QWidget* parent) : QWidget(parent), page_(page) {
    setFocusPolicy(Qt::ClickFocus);
}

uint8_t CCellBorderWnd::SideAt(const QRect& client, const QPoint& p) {
    const int l = client.left(), t = client.top();
    const int r = client.left() + client.width(), b = client.top() + client.height();
    const int x = p.x(), y = p.y();
    if (x >= l && x <= l + 30 && y >= t + kMargin && y <= b - kMargin) return kBorderLeft;
    if (x >= r - 30 && x <= r && y >= t + kMargin && y <= b - kMargin) return kBorderRight;
    if (x >= l && x <= r && y >= t && y <= t + 30) return kBorderTop;
    if (x >= l && x <= r && y >= b - 30 && y <= b) return kBorderBottom;
    // The diagonals: inside the inner area less another margin, by quarter.
    const int il = l + 2 * kMargin, it = t + 2 * kMargin, ir = r - 2 * kMargin,
              ib = b - 2 * kMargin;
    if (x <= il || x >= ir || y <= it || y >= ib) return 0;
    const int cx = (l + kMargin + r - kMargin) / 2, cy = (t + kMargin + b - kMargin) / 2;
    const bool upperLeftOrLowerRight = (x < cx) == (y < cy);
    return upperLeftOrLowerRight ? kBorderDiagonalLeft : kBorderDiagonalRight;
}

void CCellBorderWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect client = rect();
    painter.fillRect(client, ColorOf(kColorWindow));
    if (hasFocus()) {
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.drawRect(client.adjusted(0, 0, -1, -1));
    }
    const int l = kMargin, t = kMargin, r = width() - kMargin - 1, b = height() - kMargin - 1;
    const QLine lines[6] = {{l, t, r, t}, {l, b, r, b}, {l, t, l, b},
                            {r, t, r, b}, {l, t, r, b}, {l, b, r, t}};
    const uint8_t bits[6] = {kBorderTop,   kBorderBottom,       kBorderLeft,
                             kBorderRight, kBorderDiagonalLeft, kBorderDiagonalRight};
    painter.setPen(QPen(ColorOf(kColorButtonFace), 1, Qt::DotLine));
    for (const QLine& line : lines) painter.drawLine(line);
    painter.setPen(QPen(ColorOf(kColorWindowText), 3));
    for (int i = 0; i < 6; ++i)
        if (page_.Record().borderSides & bits[i]) painter.drawLine(lines[i]);
    QFont font = painter.font();
    font.setPointSize(7);
    painter.setFont(font);
    painter.setPen(ColorOf(kColorWindowText));
    const int w = width(), h = height(), mx = (l + r) / 2, my = (t + b) / 2;
    const struct {
        QRect box;
        const char* text;
    } numbers[6] = {{{0, 0, w, kMargin}, "1"},      {{r, 0, kMargin, h}, "2"},
                    {{0, b, w, kMargin}, "3"},      {{0, 0, kMargin, h}, "4"},
                    {{l, my, mx - l, b - my}, "5"}, {{mx, my, r - mx, b - my}, "6"}};
    for (const auto& n : numbers) painter.drawText(n.box, Qt::AlignCenter, n.text);
}

void CCellBorderWnd::mousePressEvent(QMouseEvent* event) {
    const uint8_t side = SideAt(rect(), event->position().toPoint());
    if (side) page_.ToggleSides(side);
}

CBorderPage::CBorderPage(QWidget* parent, const StyleRecord& style, ApplyStyleFn apply)
    : CFormatPage(parent, kCommand, 9), ui_(std::make_unique<Ui::BorderPage>()), record_(style),
      apply_(std::move(apply)) {
    ui_->setupUi(Body());
    setWindowTitle(Body()->windowTitle());
    auto* frame = new QVBoxLayout(ui_->id394);
    frame->setContentsMargins(2, 2, 2, 2);
    preview_ = new CCellBorderWnd(*this, ui_->id394);
    frame->addWidget(preview_);
    // Each control applies its own attribute alone: the others may differ from cell to cell.
    connect(ui_->id1021, &QComboBox::activated, this,
            [this] { ApplyBorder(kAttrBorderLineStyle); });
    connect(ui_->id221, &QComboBox::activated, this, [this] { ApplyBorder(kAttrBorderColor); });
    ui_->id221->onCustomChosen = [this] { ApplyBorder(kAttrBorderColor); };
    connect(ui_->id215, &QComboBox::activated, this, [this] { ApplyInterior(kAttrPattern); });
    for (const auto& [combo, code] :
         {std::pair{ui_->id229, kAttrPatternColor}, std::pair{ui_->id1019, kAttrBackgroundColor}}) {
        connect(combo, &QComboBox::activated, this, [this, code] { ApplyInterior(code); });
        combo->onCustomChosen = [this, code] { ApplyInterior(code); };
    }
    connect(ui_->id408, &QPushButton::clicked, this, [this] { SetSides(15, 17); });
    connect(ui_->id409, &QPushButton::clicked, this, [this] { SetSides(0, 17); });
    connect(ui_->id410, &QPushButton::clicked, this, [this] { SetSides(0, 18); });
    Fill();
}

CBorderPage::~CBorderPage() = default;

void CBorderPage::Fill() {
    const COLORREF window = GetSystemColor(kColorWindow);
    const COLORREF text = GetSystemColor(kColorWindowText);
    const InteriorFill& f = record_.fill;
    ui_->id215->Init(f.pattern, true, true);
    ui_->id229->Init(f.patternColorGiven ? f.patternColor : window, window, !f.patternColorGiven);
    ui_->id1019->Init(f.backgroundColorGiven ? f.backgroundColor : window, window,
                      !f.backgroundColorGiven);
    const BorderLine& line = record_.borderLine;
    ui_->id1021->Init(line.style, true);
    ui_->id221->Init(line.colorGiven ? line.color : text, text, !line.colorGiven);
    preview_->update();
}

void CBorderPage::ApplyBorder(uint8_t code) {
    GetLineFormatFromCombos(*ui_->id1021, *ui_->id221, record_.borderLine);
    if (apply_) apply_(record_, code);
}

void CBorderPage::ApplyInterior(uint8_t code) {
    InteriorFill& f = record_.fill;
    GetFillFormatFromCombos(*ui_->id215, *ui_->id229, *ui_->id1019, f);
    if (code != kAttrPattern) FillWithoutPattern();
    if (apply_) apply_(record_, code);
}

void CBorderPage::FillWithoutPattern() {
    InteriorFill& f = record_.fill;
    if (f.pattern != FORMAT_PAT_NONE || !(f.patternColorGiven || f.backgroundColorGiven)) return;
    // A colour chosen without a pattern fills: no pattern draws nothing, so the page takes
    // the solid one, which paints in the pattern colour. Choosing no pattern itself keeps
    // it, so that a fill can be taken away.
    f.pattern = FORMAT_PAT_SOLID;
    if (!f.patternColorGiven) {
        f.patternColorGiven = 1;
        f.patternColor = f.backgroundColor;
    }
    const COLORREF window = GetSystemColor(kColorWindow);
    ui_->id215->Init(f.pattern, true, true);
    ui_->id229->Init(f.patternColor, window, false);
}

void CBorderPage::SetSides(uint8_t sides, uint8_t code) {
    record_.borderSides = sides;
    preview_->update();
    if (apply_) apply_(record_, code);
}

void CBorderPage::ToggleSides(uint8_t bits) {
    SetSides(record_.borderSides ^ bits, 17);
}

bool CBorderPage::eventFilter(QObject* watched, QEvent* event) {
    // Digits 1 to 6 toggle the numbered sides while the focus is in the page.
    // A key event goes to the focus widget: one inside the page means the focus is there.
    if (event->type() == QEvent::KeyPress && isVisible() && watched->isWidgetType()) {
        const auto* target = static_cast<QWidget*>(watched);
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((target == this || isAncestorOf(target)) && key >= Qt::Key_1 && key <= Qt::Key_6) {
            static const uint8_t kSides[6] = {kBorderTop,           kBorderRight,
                                              kBorderBottom,        kBorderLeft,
                                              kBorderDiagonalRight, kBorderDiagonalLeft};
            ToggleSides(kSides[key - Qt::Key_1]);
            return true;
        }
    }
    return CFormatPage::eventFilter(watched, event);
}

void CBorderPage::OnCopy() {
    g_clipboard.filled = true;
    g_clipboard.record = record_;
}

void CBorderPage::OnPaste() {
    record_ = g_clipboard.record;
    Fill();
    if (apply_) {
        apply_(record_, 19);
        apply_(record_, 17);
    }
}

bool CBorderPage::ClipboardFilled() const {
    return g_clipboard.filled;
}

} // namespace vl
