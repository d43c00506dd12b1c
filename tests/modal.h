#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QTest>
#include <QTimer>

#include <functional>

// Acts on the next modal dialog once it is up, from inside its own event loop. A test fails fast
// instead of hanging until CTest gives up: when no dialog comes up within ten seconds, and when
// the dialog is still open ten seconds after the act (it is then closed).
inline void whenModal(std::function<void(QWidget*)> act) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, act, deadline = QDeadlineTimer(10000)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal && !deadline.hasExpired())
            return;
        poll->deleteLater();
        if (!modal)
            return QTest::qFail("no modal dialog appeared", __FILE__, __LINE__);
        act(modal);
        QTimer::singleShot(10000, modal, [modal] {
            if (modal->isVisible()) {
                QTest::qFail("a modal dialog stayed open", __FILE__, __LINE__);
                // A box that must be answered Yes or No refuses to close.
                if (auto* dialog = qobject_cast<QDialog*>(modal))
                    dialog->done(0);
                else
                    modal->close();
            }
        });
    });
    poll->start(0);
}
