#include "context_help.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>

namespace {

const char* const TopicProperty = "helpTopic";

} // namespace

void setHelpTopic(QObject* object, int topic) {
    object->setProperty(TopicProperty, topic);
}

ContextHelp::ContextHelp(QMainWindow* window, std::function<void(int)> showTopic)
    : QObject(window)
    , m_window(window)
    , m_showTopic(std::move(showTopic)) {
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), window);
    connect(f1, &QShortcut::activated, this, [this] { m_showTopic(currentTopic()); });
    // An open menu takes the keyboard from the window, and with it the window's shortcuts.
    for (QAction* entry : window->menuBar()->actions()) {
        if (QMenu* menu = entry->menu())
            menu->installEventFilter(this);
    }
}

int ContextHelp::currentTopic() const {
    const QMenuBar* bar = m_window->menuBar();
    if (bar->hasFocus() && bar->activeAction())
        return topicOf(bar->activeAction());
    const QWidget* focus = QApplication::focusWidget();
    return topicOf(focus && focus->window() == m_window ? focus : m_window);
}

bool ContextHelp::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->keyCombination() == QKeyCombination(Qt::Key_F1)) {
        auto* menu = static_cast<QMenu*>(watched);
        // The help viewer is about to take the focus; the menu would only stand in its way.
        menu->close();
        m_showTopic(topicOf(menu->menuAction()));
        return true;
    }
    return QObject::eventFilter(watched, event);
}

int ContextHelp::topicOf(const QAction* menuBarEntry) const {
    const QVariant topic = menuBarEntry->property(TopicProperty);
    return topic.isValid() ? topic.toInt() : topicOf(m_window);
}

int ContextHelp::topicOf(const QWidget* widget) const {
    for (; widget; widget = widget->parentWidget()) {
        const QVariant topic = widget->property(TopicProperty);
        if (topic.isValid())
            return topic.toInt();
    }
    return HelpTopic::Window;
}
