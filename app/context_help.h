#pragma once

#include <QObject>

#include <functional>

class QAction;
class QMainWindow;
class QWidget;

namespace HelpTopic {
constexpr int Window = 10; // also the list and the editor
constexpr int File = 210;
constexpr int Copy = 220;
constexpr int Help = 230;
} // namespace HelpTopic

// Gives a widget or a menu-bar entry its help topic.
void setHelpTopic(QObject* object, int topic);

// F1. While the menu bar or one of its menus is in use, it opens the help file at the topic of
// the highlighted menu-bar entry, so an item of a menu gets its menu's topic; otherwise at the
// topic of the widget with the focus. A widget without a topic of its own takes its parent's,
// and a menu-bar entry without one takes the window's.
class ContextHelp : public QObject {
    Q_OBJECT

public:
    ContextHelp(QMainWindow* window, std::function<void(int)> showTopic);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int currentTopic() const;
    int topicOf(const QAction* menuBarEntry) const;
    int topicOf(const QWidget* widget) const;

    QMainWindow* m_window;
    std::function<void(int)> m_showTopic;
};
