#pragma once

#include <QIcon>
#include <QToolButton>

// A button of the toolbar ML_TB1. It shows its command's action, with an image of its own, but
// a click reports the button's key instead of triggering the action: the toolbar's one event
// procedure tells its buttons apart by key.
class ToolbarButton : public QToolButton {
    Q_OBJECT

public:
    ToolbarButton(const QString& key, QAction* command, const QIcon& image, QWidget* parent);

    QString key() const { return m_key; }

signals:
    void buttonClick(const QString& key);

protected:
    void nextCheckState() override;
    void actionEvent(QActionEvent* event) override;

private:
    QString m_key;
    QIcon m_image;
};
