#include "help_window.h"

#include "help_topics.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>

HelpWindow::HelpWindow(QWidget* parent)
    : QMainWindow(parent)
    , m_browser(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Cardisto Help"));
    m_browser->setObjectName(QStringLiteral("HelpText"));
    m_browser->setAccessibleName(QStringLiteral("Help text"));
    setCentralWidget(m_browser);

    QToolBar* navigation = addToolBar(QStringLiteral("Navigation"));
    navigation->setObjectName(QStringLiteral("Navigation"));
    navigation->setMovable(false);
    navigation->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    QAction* back =
        navigation->addAction(style()->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("Back"),
                              m_browser, &QTextBrowser::backward);
    back->setShortcut(QKeySequence::Back);
    back->setEnabled(false);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    QAction* forward =
        navigation->addAction(style()->standardIcon(QStyle::SP_ArrowForward),
                              QStringLiteral("Forward"), m_browser, &QTextBrowser::forward);
    forward->setShortcut(QKeySequence::Forward);
    forward->setEnabled(false);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    navigation->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), QStringLiteral("Contents"),
                          m_browser, &QTextBrowser::home);

    connect(m_browser, &QTextBrowser::sourceChanged, this, [this] {
        const QString title = m_browser->documentTitle();
        setWindowTitle(title.isEmpty() ? QStringLiteral("Cardisto Help") : title);
    });
    resize(640, 720);
}

namespace {

// Far above any help file; a larger one is not read into memory.
constexpr qint64 MaxHelpBytes = 16 << 20;

} // namespace

bool HelpWindow::load(const QString& path, QString& error) {
    // The browser would only warn on the console about a file it cannot read, wait for ever on a
    // pipe, and read a device such as /dev/zero until memory runs out.
    const QFileInfo info(path);
    QFile file(path);
    QString reason;
    if (!info.isFile())
        reason = QStringLiteral("it is not an ordinary file.");
    else if (info.size() > MaxHelpBytes)
        reason = QStringLiteral("it is larger than a help file can be.");
    else if (!file.open(QIODevice::ReadOnly))
        reason = file.errorString();
    if (!reason.isEmpty()) {
        error = QStringLiteral("The help file \"%1\" could not be opened: %2")
                    .arg(QDir::toNativeSeparators(path), reason);
        return false;
    }
    file.close();
    // The file's name does not say that it is HTML.
    m_browser->setSource(QUrl::fromLocalFile(path), QTextDocument::HtmlResource);
    return true;
}

bool HelpWindow::showTopic(int topic) {
    const QString anchor = topicAnchor(topic);
    if (!findAnchor(*m_browser->document(), anchor).isValid())
        return false;
    m_browser->scrollToAnchor(anchor);
    return true;
}

void HelpWindow::showRequest(std::optional<int> topic) {
    if (!topic || !showTopic(*topic))
        m_browser->verticalScrollBar()->setValue(0);
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void HelpWindow::placeBeside(const QRect& other) {
    const QScreen* screen = QGuiApplication::screenAt(other.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen)
        move(besideWindow(other, size(), screen->availableGeometry()));
}

QPoint besideWindow(const QRect& other, const QSize& size, const QRect& available) {
    QPoint place(other.x() + (other.width() - size.width()) / 2,
                 other.y() + (other.height() - size.height()) / 2);
    if (other.right() + size.width() <= available.right())
        place = QPoint(other.right() + 1, other.top());
    else if (other.left() - size.width() >= available.left())
        place = QPoint(other.left() - size.width(), other.top());
    // The bottom and right first, so that a window too large for the screen shows its top left.
    place.setX(
        std::max(std::min(place.x(), available.right() + 1 - size.width()), available.left()));
    place.setY(
        std::max(std::min(place.y(), available.bottom() + 1 - size.height()), available.top()));
    return place;
}
