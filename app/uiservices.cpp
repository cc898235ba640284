#include "app/uiservices.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>

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

} // namespace

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

} // namespace vl
