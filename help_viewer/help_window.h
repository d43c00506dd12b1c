#pragma once

#include <QMainWindow>

#include <optional>

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

    // What a later start asked for: the topic, or the start when it has none or the file lacks
    // it; then the window comes to the front, where the user looks for it.
    void showRequest(std::optional<int> topic);
    // Opens beside the window, on its screen, rather than over it.
    void placeBeside(const QRect& other);

    QTextBrowser* browser() const { return m_browser; }

private:
    QTextBrowser* m_browser;
};

// Where a window of the size goes beside the other: to its right, else to its left, else
// centred on it; always whole within the screen's available area where it fits.
QPoint besideWindow(const QRect& other, const QSize& size, const QRect& available);
