#include "item_files.h"
#include "modal.h"
#include "seed.h"

#include "main_window.h"
#include "message_box.h"
#include "message_box_style.h"

#include <QDir>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Answers every message box with OK, so that a long run of Saves needs no dialog.
class QuietWindow : public MainWindow {
public:
    QStringList boxes;
    int messageBox(const QString& message, int, const QString& title) override {
        boxes.append(title + '|' + message);
        return MessageBoxResult::Ok;
    }
};

struct Item {
    QByteArray tag;
    QByteArray body; // as stored
    QString shown;   // what the editor must hold once it is picked
    QString caption;
};

// In the list's order. Blanks the editor never shows and line break characters without their
// partner must survive a Save that nothing was typed for.
const Item Items[] = {
    {"apple", "red", "red", "Cardisto - 3 bytes"},
    {"apricot", "  padded  ", "padded", "Cardisto - 6 bytes"},
    {"Banana", "yellow fruit", "yellow fruit", "Cardisto - 12 bytes"},
    {"cherry", "a\nb", "a\nb", "Cardisto - 3 bytes"},
    {"Date", "c\rd\r\ne", "c\rd\r\ne", "Cardisto - 6 bytes"},
};

QByteArray fileOf(const QList<QByteArray>& bodies) {
    QByteArray bytes;
    for (int i = int(std::size(Items)) - 1; i >= 0; --i) // record order differs from the list's
        bytes += ItemFiles::record(Items[i].tag, bodies.at(i));
    return bytes;
}

QString blanksTrimmed(QString text) {
    return text.remove(QRegularExpression(QStringLiteral("^ +| +$")));
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void listAndEditorAgree();
    void messageBoxKeys_data();
    void messageBoxKeys();
};

// Whatever the mouse and the keys do, the highlighted entry is the item whose stored text the
// editor shows (edits aside), blank space and Ctrl never take the highlight away, a click on the
// highlighted entry brings its text back, and Save writes the editor's text into that item
// only, and no byte when nothing was typed. CARDISTO_SEED=N replays a run.
void TestMainWindow::listAndEditorAgree() {
    QRandomGenerator random(testSeed());
    QTemporaryDir dir;
    const QString file = dir.filePath("zmr.lst");
    QList<QByteArray> bodies;
    for (const Item& item : Items)
        bodies.append(item.body);
    ItemFiles::write(file, fileOf(bodies));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    QuietWindow window;
    window.form().DisplayTags();
    window.resize(400, 700);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* list = window.findChild<QListView*>(QStringLiteral("ML_Selector"));
    auto* editor = window.findChild<QPlainTextEdit*>(QStringLiteral("ML_Editor"));
    QWidget* area = list->viewport();
    QVERIFY(list->visualRect(list->model()->index(4, 0)).bottom() < area->height() - 4);

    const Qt::MouseButton buttons[] = {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton};
    const Qt::KeyboardModifiers modifiers[] = {{}, Qt::ControlModifier, Qt::ShiftModifier};
    const Qt::Key keys[] = {Qt::Key_Up,   Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown,
                            Qt::Key_Home, Qt::Key_End,  Qt::Key_A,      Qt::Key_B,
                            Qt::Key_C,    Qt::Key_D,    Qt::Key_Space};
    Qt::MouseButtons held;
    int shown = -1;   // the item the editor must show
    QString expected; // and its text there
    QString loaded;   // the text it was given: Save writes nothing when it is still there
    for (int step = 0; step < 3000; ++step) {
        const int row = int(random.bounded(6)); // 5: the blank space below the last entry
        const QPoint at = row < 5 ? list->visualRect(list->model()->index(row, 0)).center()
                                  : QPoint(area->width() / 2, area->height() - 3);
        const Qt::MouseButton button = buttons[random.bounded(3)];
        const Qt::KeyboardModifiers modifier = modifiers[random.bounded(3)];
        const int before = shown;
        bool reclick = false;
        QString event;
        switch (random.bounded(7)) {
        case 0:
        case 1:
            if (held.testFlag(button))
                continue;
            reclick = button == Qt::LeftButton && row == shown;
            event = QStringLiteral("press %1 on %2").arg(button).arg(row);
            QTest::mousePress(area, button, modifier, at);
            held |= button;
            break;
        case 2:
            event = QStringLiteral("move to %1").arg(row);
            QTest::mouseMove(area, at);
            break;
        case 3:
            if (!held.testFlag(button))
                continue;
            event = QStringLiteral("release %1 on %2").arg(button).arg(row);
            QTest::mouseRelease(area, button, modifier, at);
            held &= ~button;
            break;
        case 4: {
            const Qt::Key key = keys[random.bounded(int(std::size(keys)))];
            event = QStringLiteral("key %1 with %2").arg(key).arg(modifier);
            QTest::keyClick(list, key, modifier);
            break;
        }
        case 5:
            event = QStringLiteral("edit");
            QTest::keyClick(editor, random.bounded(2) ? Qt::Key_Backspace : Qt::Key_Q);
            expected = window.editorText();
            break;
        case 6: {
            event = QStringLiteral("save");
            window.boxes.clear();
            window.findChild<QAction*>(QStringLiteral("mnu_SaveQuote"))->trigger();
            if (shown >= 0 && expected != loaded)
                bodies[shown] = blanksTrimmed(expected).toLatin1();
            loaded = expected;
            QCOMPARE(window.boxes.size(), shown >= 0 ? 1 : 0);
            QVERIFY2(ItemFiles::read(file) == fileOf(bodies), qPrintable(event));
            break;
        }
        }
        const QString highlighted = window.selectorText().trimmed();
        const int now = highlighted.isEmpty()
                            ? -1
                            : int(std::find_if(std::begin(Items), std::end(Items),
                                               [&](const Item& item) {
                                                   return item.tag == highlighted.toLatin1();
                                               }) -
                                  std::begin(Items));
        const QByteArray context = QStringLiteral("step %1: %2").arg(step).arg(event).toLatin1();
        QVERIFY2(now >= 0 || before < 0, context.constData());
        if (now != before || reclick) {
            shown = now;
            const bool stored = bodies[now] == Items[now].body;
            expected = stored ? Items[now].shown : blanksTrimmed(QString::fromLatin1(bodies[now]));
            loaded = expected;
            if (stored)
                QVERIFY2(window.windowTitle() == Items[now].caption, context.constData());
        }
        QVERIFY2(window.editorText() == expected, context.constData());
    }
    for (const Qt::MouseButton button : buttons) {
        if (held.testFlag(button))
            QTest::mouseRelease(area, button);
    }
    QDir::setCurrent(previous);
}

void TestMainWindow::messageBoxKeys_data() {
    QTest::addColumn<int>("style");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<int>("result");
    using namespace MessageBoxStyle;
    QTest::newRow("304, Enter") << Warning << QList<int>{Qt::Key_Return} << MessageBoxResult::Ok;
    QTest::newRow("304, Escape") << Warning << QList<int>{Qt::Key_Escape} << MessageBoxResult::Ok;
    QTest::newRow("276 defaults to No")
        << ConfirmDanger << QList<int>{Qt::Key_Return} << MessageBoxResult::No;
    QTest::newRow("52 defaults to Yes")
        << Question << QList<int>{Qt::Key_Return} << MessageBoxResult::Yes;
    QTest::newRow("Yes/No ignores Escape")
        << Question << QList<int>{Qt::Key_Escape, Qt::Key_Return} << MessageBoxResult::Yes;
}

void TestMainWindow::messageBoxKeys() {
    QFETCH(int, style);
    QFETCH(QList<int>, keys);
    whenModal([keys](QWidget* box) {
        for (const int key : keys) {
            if (!box->isVisible())
                QFAIL("the box closed before its last key");
            QTest::keyClick(box, Qt::Key(key));
        }
    });
    QTEST(showMessageBox(nullptr, QStringLiteral("text"), style, QStringLiteral("title")),
          "result");
}

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
