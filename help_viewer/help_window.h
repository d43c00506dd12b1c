#pragma once

#include <QMainWindow>

class QTextBrowser;

// A window that shows one help file and follows the links within it.
class HelpWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the help file from its start. False, with the reason in error, when it cannot be read.
    bool load(const QString& path, QString& error);
    // Goes to a numbered topic of the loaded file; false when the file has no such topic.
    bool showTopic(int topic);

    QTextBrowser* browser() const { return m_browser; }

private:
    QTextBrowser* m_browser;
};
