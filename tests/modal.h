#pragma once

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

// Acts on the next modal dialog once it is up, from inside its own event loop. A watchdog
// closes any dialog still open after a while, so that a missed dialog fails the test instead
// of hanging it.
inline void whenModal(std::function<void(QWidget*)> act) {
    auto* poll = new QTimer;
    poll->setInterval(0);
    auto deadline = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, act, deadline] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            poll->deleteLater();
            act(modal);
        } else if (++*deadline > 100000) {
            poll->deleteLater();
            QFAIL("no modal dialog appeared");
        }
    });
    poll->start();
}
