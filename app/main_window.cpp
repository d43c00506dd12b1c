#include "main_window.h"

#include "busy_cursor.h"
#include "command_toolbar.h"
#include "context_help.h"
#include "design_font.h"
#include "image_list.h"
#include "item_editor.h"
#include "menu_bar.h"
#include "message_box.h"
#include "whole_row_list.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QToolBar>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// The client area as designed, in twips: 1440 to the inch, so 15 to the pixel at 96 dots per
// inch.
constexpr double DesignClientWidth = 4530;
constexpr double DesignClientHeight = 4620;
constexpr double TwipsPerInch = 1440;

// The list's and the editor's font.
QFont boldDesignFont() {
    QFont font = designFont();
    font.setWeight(QFont::Bold);
    return font;
}

} // namespace

MainWindow::MainWindow(DesktopServices& desktop, std::chrono::milliseconds lockWait,
                       QWidget* parent)
    : QMainWindow(parent)
    , m_form(*this, desktop, lockWait) {
    setObjectName(QStringLiteral("MireloftMain"));
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.cardisto.Cardisto"));
    setWindowTitle(QStringLiteral("Cardisto"));
    // Drawn at both sizes: a title bar's 16 pixels would smear the 32-pixel drawing.
    QIcon icon(QStringLiteral(":/images/cardisto.xpm"));
    icon.addFile(QStringLiteral(":/images/cardisto_16.xpm"));
    setWindowIcon(icon);
    setHelpTopic(this, HelpTopic::Window);
    createControls();
}

MainWindow::~MainWindow() = default;

void MainWindow::load() {
    const BusyCursor busy;
    m_form.Form_Load();
}

void MainWindow::createControls() {
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    setCentralWidget(m_client);
    m_client->installEventFilter(this);

    const ImageList images;
    buildMenuBar(menuBar());
    m_toolbar = createCommandToolbar(m_client, images);

    m_selector = new WholeRowList(m_client);
    m_selector->setObjectName(QStringLiteral("ML_Selector"));
    m_selector->setAccessibleName(QStringLiteral("Items"));
    m_selector->setModel(&m_form.tags());
    m_selector->setTextElideMode(Qt::ElideNone);
    m_selector->setFont(boldDesignFont());
    setHelpTopic(m_selector, HelpTopic::Window);

    m_editor = new ItemEditor(m_client);
    m_editor->setObjectName(QStringLiteral("ML_Editor"));
    m_editor->setAccessibleName(QStringLiteral("Item text"));
    m_editor->setTabChangesFocus(true);
    m_editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_editor->setFont(boldDesignFont());
    setHelpTopic(m_editor, HelpTopic::Window);

    // In the tab order the editor comes before the list. As they are the only two controls that
    // take the focus, Tab alternates between them either way; the order decides who starts.
    m_editor->setFocus();

    // The design's size at the screen's resolution; the controls fill it at the first layout.
    resize(int(std::lround(DesignClientWidth * logicalDpiX() / TwipsPerInch)),
           int(std::lround(DesignClientHeight * logicalDpiY() / TwipsPerInch)) +
               menuBar()->sizeHint().height());

    wireCommands();
}

void MainWindow::wireCommands() {
    for (const MireloftMain::Command& command : MireloftMain::commands()) {
        connect(findChild<QAction*>(QLatin1String(command.menuItem)), &QAction::triggered, this,
                [this, procedure = command.procedure] { runMenuCommand(procedure); });
    }
    connect(m_toolbar, &QToolBar::actionTriggered, this,
            [this](QAction* button) { toolbarButtonClick(button->data().toString()); });

    connect(m_selector, &WholeRowList::entryPicked, this,
            [this] { runMenuCommand(&MireloftMain::ML_Selector_Click); });
    new ContextHelp(this, [this](int topic) { m_form.showHelpTopic(topic); });
}

void MainWindow::runMenuCommand(MireloftMain::Procedure procedure) {
    const BusyCursor busy;
    (m_form.*procedure)();
}

void MainWindow::toolbarButtonClick(const QString& key) {
    const BusyCursor busy;
    m_form.ML_TB1_ButtonClick(key);
}

void MainWindow::Form_Resize() {
    const int width = m_client->width(), height = m_client->height();
    const int listTop = m_toolbar->sizeHint().height();
    m_toolbar->setGeometry(0, 0, width, listTop);
    if (isMinimized())
        return;
    // The list takes the whole rows that fit in a third of the height; a client area lower than
    // toolbar and list together leaves the editor no room, not less.
    m_selector->setWholeRowGeometry(0, listTop, width, height / 3);
    const int editorTop = listTop + m_selector->height();
    m_editor->setGeometry(0, editorTop, width, std::max(0, height - editorTop));
}

void MainWindow::setCaption(const QString& caption) {
    setWindowTitle(caption);
}

void MainWindow::selectEntry(qsizetype entry) {
    m_selector->highlightOnly(int(entry));
}

QString MainWindow::selectorText() const {
    const QModelIndexList selected = m_selector->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? QString() : selected.first().data().toString();
}

QString MainWindow::editorText() const {
    return m_editor->text();
}

void MainWindow::setEditorText(const QString& text) {
    m_editor->setText(text);
}

int MainWindow::messageBox(const QString& message, int style, const QString& title) {
    const NormalCursor normal;
    return showMessageBox(this, message, style, title);
}

QString MainWindow::inputBox(const QString& prompt, const QString& title,
                             const QString& defaultText) {
    const NormalCursor normal;
    return showInputBox(this, prompt, title, defaultText);
}

void MainWindow::quit() {
    QApplication::exit(0);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    qint16 cancel = 0;
    m_form.Form_UnLoad(cancel);
    if (cancel != 0)
        event->ignore();
    else
        QMainWindow::closeEvent(event);
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // Restoring lays out what changed while minimized.
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_client && event->type() == QEvent::Resize)
        Form_Resize();
    return QMainWindow::eventFilter(watched, event);
}
