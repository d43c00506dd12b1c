#pragma once

#include "form_view.h"
#include "mireloft_main.h"

#include <QMainWindow>

#include <memory>

class DesktopServices;
class ItemEditor;
class QToolBar;
class WholeRowList;

// The Qt window MireloftMain. It owns the widgets and the procedures (MireloftMain), turns every
// user action into a call of a procedure in one place (wireCommands), and carries out what the
// procedures ask of the controls through FormView. Its client area below the menu bar holds the
// toolbar ML_TB1, docked at the top, and the list and the editor, which Form_Resize places.
class MainWindow : public QMainWindow, public FormView {
    Q_OBJECT

public:
    // On the given desktop services, which must outlive the window; commands wait `lockWait` for
    // another copy that holds the item file.
    explicit MainWindow(DesktopServices& desktop,
                        std::chrono::milliseconds lockWait = ItemStore::DefaultLockWait,
                        QWidget* parent = nullptr);
    ~MainWindow() override;

    MireloftMain& form() { return m_form; }
    // Form_Load, under a busy cursor: the list may take a while to fill.
    void load();

    // FormView
    void setCaption(const QString& caption) override;
    QString selectorText() const override;
    void selectEntry(qsizetype entry) override;
    QString editorText() const override;
    void setEditorText(const QString& text) override;
    int messageBox(const QString& message, int style, const QString& title) override;
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;
    QRect windowRect() const override { return frameGeometry(); }
    void quit() override;

protected:
    // Every procedure that the user starts passes through one of these two: menu commands and
    // clicks in the list through the first, toolbar clicks through the second.
    virtual void runMenuCommand(MireloftMain::Procedure procedure);
    virtual void toolbarButtonClick(const QString& key);

    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void wireCommands();
    // Places the toolbar, the list and the editor in the client area, in pixels.
    void Form_Resize();

    MireloftMain m_form;
    QWidget* m_client = nullptr;
    QToolBar* m_toolbar = nullptr;
    WholeRowList* m_selector = nullptr;
    ItemEditor* m_editor = nullptr;
};
