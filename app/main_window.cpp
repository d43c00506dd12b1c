#include "app/main_window.h"

#include "app/message_box.h"

#include <QApplication>
#include <QCloseEvent>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextDocument>

#include <cmath>

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
    , m_form(*this, m_desktop) {
    setObjectName(QStringLiteral("MireloftMain"));
    setWindowTitle(QStringLiteral("Cardisto"));
    createControls();
    createMenus();
}

void MainWindow::createControls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);
    client->installEventFilter(this);

    // Created editor first: it comes before the list in the tab order.
    m_editor = new QPlainTextEdit(client);
    m_editor->setObjectName(QStringLiteral("ML_Editor"));
    m_editor->setAccessibleName(QStringLiteral("Note text"));
    m_editor->setTabChangesFocus(true);
    m_editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    m_selector = new QListWidget(client);
    m_selector->setObjectName(QStringLiteral("ML_Selector"));
    m_selector->setAccessibleName(QStringLiteral("Items"));
    m_selector->setUniformItemSizes(true);
    m_selector->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(m_selector, &QListWidget::itemSelectionChanged, this, [this] {
        if (!m_selector->selectedItems().isEmpty())
            m_form.ML_Selector_Click();
    });
    setTabOrder(m_editor, m_selector);
    resize(302, 308 + menuBar()->sizeHint().height());
}

void MainWindow::createMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnu_file"));
    auto add = [this](QMenu* menu, const char* name, const QString& caption, auto procedure) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, [this, procedure] { (m_form.*procedure)(); });
    };
    add(file, "mnu_New", QStringLiteral("New Item"), &MireloftMain::mnu_New_Click);
    add(file, "mnu_delete", QStringLiteral("Delete Item"), &MireloftMain::mnu_delete_Click);
    add(file, "mnu_rename", QStringLiteral("Rename"), &MireloftMain::mnu_rename_Click);
    file->addSeparator()->setObjectName(QStringLiteral("mun_line1"));
    add(file, "mnu_SaveQuote", QStringLiteral("Save Quote"), &MireloftMain::mnu_SaveQuote_Click);
    file->addSeparator()->setObjectName(QStringLiteral("mnu_line2"));
    add(file, "mnu_exit", QStringLiteral("E&xit"), &MireloftMain::mnu_exit_Click);

    QAction* copy = menuBar()->addAction(QStringLiteral("&Copy"));
    copy->setObjectName(QStringLiteral("mnu_copy"));
    connect(copy, &QAction::triggered, this, [this] { m_form.mnu_copy_Click(); });

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnu_help"));
    add(help, "mnu_contents", QStringLiteral("Contents"), &MireloftMain::mnu_contents_Click);
    add(help, "mnu_about", QStringLiteral("About"), &MireloftMain::mnu_about_Click);
}

void MainWindow::setCaption(const QString& caption) {
    setWindowTitle(caption);
}

void MainWindow::setSelectorItems(const QStringList& items) {
    const QSignalBlocker blocker(m_selector);
    m_selector->clear();
    m_selector->addItems(items);
}

QString MainWindow::selectorText() const {
    const QList<QListWidgetItem*> selected = m_selector->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

QString MainWindow::editorText() const {
    // toPlainText() would turn no-break spaces into blanks; the raw text keeps every character.
    QString text = m_editor->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
    text.replace(QChar::LineSeparator, QLatin1String("\r\n"));
    return text;
}

void MainWindow::setEditorText(const QString& text) {
    QString plain = text;
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    m_editor->setPlainText(plain);
}

int MainWindow::messageBox(const QString& message, int style, const QString& title) {
    return showMessageBox(this, message, style, title);
}

QString MainWindow::inputBox(const QString& prompt, const QString& title,
                             const QString& defaultText) {
    return showInputBox(this, prompt, title, defaultText);
}

float MainWindow::twipsPerPixel() const {
    return 1440.0f / float(logicalDpiY());
}

float MainWindow::scaleWidth() const {
    return float(centralWidget()->width()) * twipsPerPixel();
}

float MainWindow::scaleHeight() const {
    return isMinimized() ? 0.0f : float(centralWidget()->height()) * twipsPerPixel();
}

float MainWindow::toolbarHeight() const {
    return 0;
}

void MainWindow::setSelectorGeometry(float left, float top, float width, float height) {
    const float scale = twipsPerPixel();
    m_selector->setGeometry(int(std::lround(left / scale)), int(std::lround(top / scale)),
                            int(std::lround(width / scale)), int(height / scale));
}

float MainWindow::selectorHeight() const {
    return float(m_selector->height()) * twipsPerPixel();
}

void MainWindow::setEditorGeometry(float left, float top, float width, float height) {
    const float scale = twipsPerPixel();
    m_editor->setGeometry(int(std::lround(left / scale)), int(std::lround(top / scale)),
                          int(std::lround(width / scale)), int(std::lround(height / scale)));
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

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == centralWidget() && event->type() == QEvent::Resize)
        m_form.Form_Resize();
    return QMainWindow::eventFilter(watched, event);
}
