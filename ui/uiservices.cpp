#include "ui/uiservices.h"

#include "core/clock.h"
#include "ui/messageowner.h"
#include "ui/uiutil.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

namespace vl {

namespace {

class CQtUiServices : public IUiServices {
public:
    int MessageBox(const QString& text, const QString& title, uint32_t flags) override {
        QPointer<QMessageBox> box = BuildMessageBox(text, title, flags, MessageOwner());
        QEventLoop loop;
        QObject::connect(box, &QMessageBox::finished, &loop, &QEventLoop::quit);
        box->open();
        loop.exec();
        int answer = box ? MessageBoxAnswer(*box) : IDCANCEL;
        delete box;
        return answer;
    }
    QString GetOpenFileName(const QString& caption, const QString& folder,
                            const QString& filter) override {
        return QFileDialog::getOpenFileName(MessageOwner(), caption, folder, filter);
    }
    QString GetSaveFileName(const QString& caption, const QString& folder,
                            const QString& filter) override {
        return QFileDialog::getSaveFileName(MessageOwner(), caption, folder, filter);
    }
    void Beep() override { QApplication::beep(); }
    void SetWaitCursor(bool on) override {
        if (on)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    }
};

// A button's letter answers a box at once. The toolkit first shows the button pressed for a
// tenth of a second, and the keys typed right after the letter reached the box meanwhile and
// were lost, where they belong to the window under it.
class CLetterAnswers : public QObject {
public:
    explicit CLetterAnswers(QMessageBox* box) : QObject(box), box_(box) {
        box->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<const QKeyEvent*>(event);
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return false;
        for (QAbstractButton* button : box_->buttons()) {
            const QKeySequence shortcut = button->shortcut();
            if (shortcut.isEmpty() || shortcut[0].key() != key->key() || !button->isEnabled())
                continue;
            button->click();
            return true;
        }
        return false;
    }

private:
    QMessageBox* box_;
};

IUiServices* g_services = nullptr;
QPointer<QWidget> g_owner;
// The owner a CMessageOwnerScope names, while one stands.
QPointer<QWidget> g_scopedOwner;

QMessageBox::Icon IconOf(uint32_t flags) {
    switch (flags & 0xF0) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

QMessageBox::StandardButtons ButtonsOf(uint32_t flags) {
    switch (flags & 0x0F) {
    case MB_OKCANCEL:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MB_YESNOCANCEL:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MB_YESNO:
        return QMessageBox::Yes | QMessageBox::No;
    default:
        return QMessageBox::Ok;
    }
}

// A filter as the dialog shows it with its details hidden: the text before its last
// parentheses, spaces simplified.
QString ShownFilterText(const QString& filter) {
    const qsizetype open = filter.lastIndexOf(QLatin1Char('('));
    if (open < 0 || !filter.endsWith(QLatin1Char(')'))) return filter.simplified();
    return filter.left(open).simplified();
}

// The 1-based place of the chosen filter in `list`, 0 when it is none of them. Some Qt
// versions answer with the filter as it was given, others with the text shown.
int ChosenFilterIndex(const QStringList& list, const QString& chosen) {
    const qsizetype exact = list.indexOf(chosen);
    if (exact >= 0) return int(exact) + 1;
    for (qsizetype i = 0; i < list.size(); ++i)
        if (ShownFilterText(list[i]) == chosen.simplified()) return int(i) + 1;
    return 0;
}

// Picking a type in a Save dialog gives the name the type's first extension; a name whose
// extension the type takes too ("budget.csv" for the text types) keeps its own.
void KeepMatchingNameOnTypeChange(QFileDialog& dialog) {
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    if (!name || !types) return;
    auto before = std::make_shared<QString>(name->text());
    auto now = std::make_shared<QString>(name->text());
    QObject::connect(name, &QLineEdit::textChanged, &dialog, [before, now](const QString& text) {
        *before = *now;
        *now = text;
    });
    // Called after the dialog's own handling of the pick, which renamed the file.
    QObject::connect(types, &QComboBox::activated, name, [&dialog, name, before, now](int i) {
        const QStringList filters = dialog.nameFilters();
        if (*before == *now || before->isEmpty() || i < 0 || i >= filters.size()) return;
        const QString& filter = filters[i];
        // The patterns are the filter's last parentheses, as Qt reads them.
        const qsizetype open = filter.lastIndexOf(QLatin1Char('('));
        const QStringList patterns = filter.mid(open + 1)
                                         .chopped(filter.endsWith(QLatin1Char(')')) ? 1 : 0)
                                         .split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (open < 0 || patterns.isEmpty()) return;
        // Only a rename by the pick is undone: the name then ends in the type's first extension.
        const QString given = QFileInfo(patterns.first()).suffix();
        const bool renamed =
            !given.isEmpty() && QFileInfo(*now).suffix() == given &&
            QFileInfo(*before).suffix() != given &&
            QFileInfo(*now).completeBaseName() == QFileInfo(*before).completeBaseName();
        if (renamed && QDir::match(patterns, QFileInfo(*before).fileName())) name->setText(*before);
    });
}

// A list with the keyboard and no current row shows nothing of it: Qt's places list, which
// selects the shown folder without making a row current, and an empty file list. While that
// lasts a frame is drawn over the list, so that Tab shows where the keys went.
class CListFocusSign : public QWidget {
public:
    explicit CListFocusSign(QAbstractItemView* view) : QWidget(view), view_(view) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        view->installEventFilter(this);
        view->viewport()->installEventFilter(this);
        QObject::connect(qApp, &QApplication::focusChanged, this, [this] { Follow(); });
        Follow();
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        // A repaint of the list follows any change of its rows or its current one.
        if (event->type() == QEvent::Resize || event->type() == QEvent::Paint) Follow();
        return false;
    }
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRect(rect().adjusted(1, 1, -1, -1));
    }

private:
    void Follow() {
        const bool shown = view_->hasFocus() && !view_->currentIndex().isValid();
        if (shown) {
            setGeometry(view_->rect());
            raise();
        }
        if (shown != isVisible()) setVisible(shown);
    }

    QAbstractItemView* view_;
};

// Qt's own file dialog (the same under every desktop), showing each filter's text without
// the pattern list that Qt reads from its last parentheses.
QString RunFileDialog(bool save, const QString& caption, const QString& folder,
                      const QString& filters, int& index) {
    QFileDialog dialog(MessageOwner(), caption, folder);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QStringList list = filters.split(QStringLiteral(";;"));
    dialog.setNameFilters(list);
    // Alt+N and Alt+T reach the name and the type from the keyboard.
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("File &name:"));
    dialog.setLabelText(QFileDialog::FileType, save ? QStringLiteral("Save as &type:")
                                                    : QStringLiteral("Files of &type:"));
    auto* typeLabel = dialog.findChild<QLabel*>(QStringLiteral("fileTypeLabel"));
    auto* typeBox = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    if (typeLabel && typeBox) typeLabel->setBuddy(typeBox);
    if (index >= 1 && index <= list.size()) dialog.selectNameFilter(list[index - 1]);
    if (save) KeepMatchingNameOnTypeChange(dialog);
    for (QAbstractItemView* view : dialog.findChildren<QAbstractItemView*>())
        if (view->window() == &dialog && (view->focusPolicy() & Qt::TabFocus))
            new CListFocusSign(view);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    index = ChosenFilterIndex(list, dialog.selectedNameFilter());
    return dialog.selectedFiles().first();
}

} // namespace

QString IUiServices::ChooseOpenFile(const QString& caption, const QString& folder,
                                    const QString& filters, int& index) {
    return RunFileDialog(false, caption, folder, filters, index);
}

QString IUiServices::ChooseSaveFile(const QString& caption, const QString& folder,
                                    const QString& filters, int& index) {
    return RunFileDialog(true, caption, folder, filters, index);
}

QString IUiServices::ChooseFolder(const QString& title, const QString& start) {
    return QFileDialog::getExistingDirectory(
        MessageOwner(), title, start, QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
}

int IUiServices::TextFileDialog(TextFileSettings&, bool) {
    return IDOK;
}

int IUiServices::XBaseDialog(XBaseSaveOptions&, const QString&, bool) {
    return IDOK;
}

int IUiServices::WaitForFile(const QString&, const IClock&, const std::function<bool()>&) {
    return IDCANCEL;
}

int IUiServices::AskPassword(bool, QString&, bool& readOnly) {
    readOnly = false;
    return IDCANCEL;
}

int IUiServices::AskBookmarkName(QString& name) {
    QDialog dialog(MessageOwner());
    dialog.setWindowTitle(QStringLiteral("Bookmark Name"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(QStringLiteral("&Name:"), &dialog);
    layout->addWidget(label);
    auto* edit = new QLineEdit(&dialog);
    label->setBuddy(edit);
    edit->setMaxLength(255);
    layout->addWidget(edit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setEnabled(false);
    QObject::connect(edit, &QLineEdit::textChanged, ok,
                     [ok](const QString& text) { ok->setEnabled(!text.isEmpty()); });
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted) return IDCANCEL;
    name = edit->text();
    return IDOK;
}

IUiServices& UiServices() {
    static CQtUiServices qtServices;
    return g_services ? *g_services : qtServices;
}

void SetUiServices(IUiServices* services) {
    g_services = services;
}

void SetMessageOwner(QWidget* owner) {
    g_owner = owner;
}

QWidget* MessageFrame() {
    return g_owner.data();
}

CMessageOwnerScope::CMessageOwnerScope(QWidget* owner) : previous_(g_scopedOwner) {
    g_scopedOwner = owner;
}

CMessageOwnerScope::~CMessageOwnerScope() {
    g_scopedOwner = previous_;
}

QWidget* MessageOwner() {
    if (g_scopedOwner && g_scopedOwner->isVisible()) return g_scopedOwner.data();
    if (QWidget* modal = QApplication::activeModalWidget(); modal && modal->isVisible())
        return modal;
    QWidget* active = QApplication::activeWindow();
    if (active && active->isVisible() && active->windowType() != Qt::Popup &&
        active->windowType() != Qt::ToolTip)
        return active;
    return g_owner.data();
}

QMessageBox* BuildMessageBox(const QString& text, const QString& title, uint32_t flags,
                             QWidget* owner) {
    auto* box = new QMessageBox(IconOf(flags), title, text, ButtonsOf(flags), owner);
    if (flags & MB_DEFBUTTON2) {
        const QMessageBox::StandardButton second =
            (flags & 0x0F) == MB_OKCANCEL ? QMessageBox::Cancel : QMessageBox::No;
        box->setDefaultButton(second);
    }
    // Application-modal and on top of the frame, never behind it.
    box->setWindowModality(Qt::ApplicationModal);
    new CLetterAnswers(box);
    return box;
}

int MessageBoxAnswer(const QMessageBox& box) {
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Ok:
        return IDOK;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    default:
        return IDCANCEL;
    }
}

int IUiServices::SortDialog(SortSettings&) {
    return IDCANCEL;
}

int IUiServices::ChangeSizeDialog(QWidget*, bool, int&) {
    return IDCANCEL;
}

int IUiServices::OptionsDialog(QWidget*) {
    return IDCANCEL;
}

int IUiServices::ProtectionDialog(QWidget*, ProtectionChoice&) {
    return IDCANCEL;
}

int IUiServices::StatisticsDialog(QWidget*, CWorkbook&, const CellRange&) {
    return IDCANCEL;
}

bool IUiServices::ZoomDialog(QWidget*, const QPoint&, uint16_t,
                             const std::function<void(uint16_t, bool)>&) {
    return false;
}

bool IUiServices::ChooseColor(uint32_t& color, uint32_t customColors[16]) {
    for (int i = 0; i < 16; ++i) {
        const uint32_t c = customColors[i];
        QColorDialog::setCustomColor(i, QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
    }
    const QColor start(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
    const QColor chosen = QColorDialog::getColor(start, MessageOwner());
    for (int i = 0; i < 16; ++i) {
        const QColor c = QColorDialog::customColor(i);
        customColors[i] =
            uint32_t(c.red()) | (uint32_t(c.green()) << 8) | (uint32_t(c.blue()) << 16);
    }
    if (!chosen.isValid()) return false;
    color =
        uint32_t(chosen.red()) | (uint32_t(chosen.green()) << 8) | (uint32_t(chosen.blue()) << 16);
    return true;
}

bool IUiServices::ChooseFontWithColor(LogFont&, uint32_t&, int, int) {
    return false;
}

int IUiServices::RunDialog(QDialog& dialog) {
    QEventLoop loop;
    QObject::connect(&dialog, &QDialog::finished, &loop, &QEventLoop::quit);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.open();
    ShowFocusFromTheStart(dialog);
    loop.exec();
    return dialog.result();
}

} // namespace vl
