#include "app/uiservices.h"

#include "core/clock.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

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

IUiServices* g_services = nullptr;
QPointer<QWidget> g_owner;

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
    if (index >= 1 && index <= list.size()) dialog.selectNameFilter(list[index - 1]);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    index = int(list.indexOf(dialog.selectedNameFilter())) + 1;
    return dialog.selectedFiles().first();
}

QString ElapsedText(int64_t seconds) {
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
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

int IUiServices::WaitForFile(const QString& path, const IClock& clock,
                             const std::function<bool()>& retry) {
    QDialog dialog(MessageOwner());
    dialog.setWindowTitle(QStringLiteral("Open File"));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("Vorlane cannot open"), &dialog));
    auto* name = new QLabel(&dialog);
    name->setText(name->fontMetrics().elidedText(path, Qt::ElideMiddle, 360));
    layout->addWidget(name);
    layout->addWidget(
        new QLabel(QStringLiteral("Either your account does not have permission to "
                                  "access this file\nor it's in use by another user."),
                   &dialog));
    layout->addWidget(new QLabel(QStringLiteral("Waiting..."), &dialog));
    auto* elapsed = new QLabel(ElapsedText(0), &dialog);
    layout->addWidget(elapsed);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    const int64_t start = clock.NowSeconds();
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &dialog, [&] {
        elapsed->setText(ElapsedText(clock.NowSeconds() - start));
        if (!retry()) return;
        timer.stop();
        QApplication::beep();
        dialog.accept();
    });
    timer.start(1000);
    return dialog.exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

int IUiServices::AskPassword(bool readOnlyOffered, QString& password, bool& readOnly) {
    QDialog dialog(MessageOwner());
    dialog.setWindowTitle(QStringLiteral("Open Password Protected Workbook"));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("&Password:"), &dialog));
    auto* edit = new QLineEdit(&dialog);
    edit->setEchoMode(QLineEdit::Password);
    edit->setMaxLength(1024);
    layout->addWidget(edit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QPushButton* plain =
        buttons->addButton(QStringLiteral("Open As &Read-Only"), QDialogButtonBox::ActionRole);
    plain->setEnabled(readOnlyOffered);
    readOnly = false;
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(plain, &QPushButton::clicked, &dialog, [&] {
        readOnly = true;
        dialog.accept();
    });
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted) return IDCANCEL;
    if (!readOnly) password = edit->text();
    return IDOK;
}

int IUiServices::AskBookmarkName(QString& name) {
    QDialog dialog(MessageOwner());
    dialog.setWindowTitle(QStringLiteral("Bookmark Name"));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("&Name:"), &dialog));
    auto* edit = new QLineEdit(&dialog);
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

QWidget* MessageOwner() {
    return g_owner.data();
}

QMessageBox* BuildMessageBox(const QString& text, const QString& title, uint32_t flags,
                             QWidget* owner) {
    auto* box = new QMessageBox(IconOf(flags), title, text, ButtonsOf(flags), owner);
    // Application-modal and on top of the frame, never behind it.
    box->setWindowModality(Qt::ApplicationModal);
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
    loop.exec();
    return dialog.result();
}

} // namespace vl
