#include "app/toolbar_button.h"

#include <QActionEvent>

ToolbarButton::ToolbarButton(const QString& key, QAction* command, const QIcon& image,
                             QWidget* parent)
    : QToolButton(parent)
    , m_key(key)
    , m_image(image) {
    setDefaultAction(command);
    setIcon(m_image);
    setAccessibleName(command->iconText());
    setAutoRaise(true);
    // Like every toolbar button, it is left out of the tab order.
    setFocusPolicy(Qt::NoFocus);
}

// Every way of pressing the button (mouse, accessibility, click()) ends here.
void ToolbarButton::nextCheckState() {
    emit buttonClick(m_key);
}

void ToolbarButton::actionEvent(QActionEvent* event) {
    QToolButton::actionEvent(event);
    // Taking over a changed action takes its (empty) icon too.
    if (event->type() == QEvent::ActionChanged)
        setIcon(m_image);
}
