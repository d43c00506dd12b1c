#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <functional>

// Acts on the next modal dialog once it is up, from inside its own event loop. A test fails fast
// instead of hanging until CTest gives up: when no dialog comes up within the limit, and when the
// dialog is still open that long after the act (which is then closed for it).
inline void whenModal(std::function<void(QWidget*)> act,
                      std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    auto* poll = new QTimer;
    poll->setInterval(0);
    const QDeadlineTimer deadline(limit);
    QObject::connect(poll, &QTimer::timeout, [poll, act, deadline, limit] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            poll->deleteLater();
            QPointer<QWidget> dialog(modal);
            act(modal);
            QTimer::singleShot(limit, [dialog] {
                if (!dialog || !dialog->isVisible())
                    return;
                QTest::qFail("a modal dialog stayed open", __FILE__, __LINE__);
                if (auto* asDialog = qobject_cast<QDialog*>(dialog.data()))
                    asDialog->reject();
                else
                    dialog->close();
            });
        } else if (deadline.hasExpired()) {
            poll->deleteLater();
            QTest::qFail("no modal dialog appeared", __FILE__, __LINE__);
        }
    });
    poll->start();
}
