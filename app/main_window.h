#pragma once

#include "app/form_view.h"
#include "app/mireloft_main.h"
#include "app/qt_desktop_services.h"

#include <QMainWindow>

class QListWidget;
class QPlainTextEdit;

// The Qt window. It owns the widgets and the procedures (MireloftMain), turns every user action
// into a call of a procedure in one place (wireCommands), and carries out what the procedures
// ask of the controls through FormView.
class MainWindow : public QMainWindow, public FormView {
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);

    MireloftMain& form() { return m_form; }

    // FormView
    void setCaption(const QString& caption) override;
    void setSelectorItems(const QStringList& items) override;
    QString selectorText() const override;
    QString editorText() const override;
    void setEditorText(const QString& text) override;
    int messageBox(const QString& message, int style, const QString& title) override;
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;
    float scaleWidth() const override;
    float scaleHeight() const override;
    float toolbarHeight() const override;
    void setSelectorGeometry(float left, float top, float width, float height) override;
    float selectorHeight() const override;
    void setEditorGeometry(float left, float top, float width, float height) override;
    void quit() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void createMenus();
    float twipsPerPixel() const;

    QtDesktopServices m_desktop;
    MireloftMain m_form;
    QListWidget* m_selector = nullptr;
    QPlainTextEdit* m_editor = nullptr;
};
