#pragma once
// Answers a dialog that the code under test runs modally: `act` gets the dialog once it is
// the active modal widget.

#include <QApplication>
#include <QTimer>
#include <functional>

namespace vl::dialogtest {

inline void WhenModal(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        act(modal);
    });
    timer->start();
}

// The child of `parent` named `name`, of type T.
template <class T> T* Child(QWidget* parent, const char* name) {
    return parent->findChild<T*>(QString::fromLatin1(name));
}

} // namespace vl::dialogtest
