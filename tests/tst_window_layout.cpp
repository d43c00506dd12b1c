#include "app/image_list.h"
#include "app/main_window.h"

#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolBar>

namespace {

struct Controls {
    QWidget* client;
    QToolBar* toolbar;
    QListWidget* list;
    QPlainTextEdit* editor;
};

Controls controlsOf(MainWindow& window) {
    return {window.centralWidget(), window.findChild<QToolBar*>(QStringLiteral("ML_TB1")),
            window.findChild<QListWidget*>(QStringLiteral("ML_Selector")),
            window.findChild<QPlainTextEdit*>(QStringLiteral("ML_Editor"))};
}

void resizeClient(MainWindow& window, QSize client) {
    window.resize(client + QSize(0, window.menuBar()->height()));
    QTRY_COMPARE(window.centralWidget()->size(), client);
}

} // namespace

class TestWindowLayout : public QObject {
    Q_OBJECT

private slots:
    void listAndEditorFillTheClientArea_data();
    void listAndEditorFillTheClientArea();
    void minimizedWindowMovesNothing();
    void imagesAreMaskedAndSharp();
};

void TestWindowLayout::listAndEditorFillTheClientArea_data() {
    QTest::addColumn<QSize>("client");
    QTest::newRow("design") << QSize(302, 308);
    QTest::newRow("small") << QSize(302, 200);
    QTest::newRow("wide") << QSize(900, 240);
    QTest::newRow("tall") << QSize(280, 1000);
    QTest::newRow("room for one row") << QSize(200, 80);
    QTest::newRow("lower than toolbar and list") << QSize(200, 50);
    QTest::newRow("lower than the toolbar") << QSize(150, 20);
}

void TestWindowLayout::listAndEditorFillTheClientArea() {
    QFETCH(QSize, client);
    MainWindow window;
    window.setSelectorItems({QStringLiteral("first"), QStringLiteral("second")});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    resizeClient(window, client);
    const auto [area, toolbar, list, editor] = controlsOf(window);

    QCOMPARE(toolbar->geometry(), QRect(0, 0, client.width(), toolbar->sizeHint().height()));
    QCOMPARE(list->x(), 0);
    QCOMPARE(list->width(), client.width());
    QCOMPARE(list->y(), toolbar->height());
    // A third of the client height, rounded down to whole rows.
    const int row = list->visualItemRect(list->item(0)).height();
    const int frame = 2 * list->frameWidth();
    const double third = client.height() / 3.0;
    QVERIFY(list->height() <= third);
    if (list->height() > 0) {
        QCOMPARE(list->viewport()->height(), list->height() - frame);
        QCOMPARE(list->viewport()->height() % row, 0);
    }
    QVERIFY(list->height() + (list->height() > 0 ? row : row + frame) > third);

    QCOMPARE(editor->x(), 0);
    QCOMPARE(editor->width(), client.width());
    QCOMPARE(editor->y(), list->y() + list->height());
    if (editor->y() <= client.height())
        QCOMPARE(editor->y() + editor->height(), client.height());
    else
        QCOMPARE(editor->height(), 0);
}

void TestWindowLayout::minimizedWindowMovesNothing() {
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    resizeClient(window, QSize(300, 300));
    const auto [area, toolbar, list, editor] = controlsOf(window);
    const QRect listBefore = list->geometry();
    const QRect editorBefore = editor->geometry();

    window.showMinimized();
    QTRY_VERIFY(window.isMinimized());
    resizeClient(window, QSize(400, 500));
    QCOMPARE(list->geometry(), listBefore);
    QCOMPARE(editor->geometry(), editorBefore);

    window.showNormal();
    QTRY_VERIFY(!window.isMinimized());
    QCOMPARE(list->width(), 400);
    QCOMPARE(editor->y() + editor->height(), 500);
}

// Silver must vanish everywhere, and a double-density screen must get the 32-pixel drawings
// rather than the small ones blown up.
void TestWindowLayout::imagesAreMaskedAndSharp() {
    const ImageList images;
    const QColor silver(192, 192, 192);
    for (int position = 1; position <= ImageList::Count; ++position) {
        const QIcon icon = images.image(position);
        QCOMPARE(icon.availableSizes(), (QList<QSize>{QSize(16, 16), QSize(32, 32)}));
        for (const QSize size : icon.availableSizes()) {
            const QImage image = icon.pixmap(size, 1.0).toImage();
            QCOMPARE(image.size(), size);
            QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
            int opaque = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const QColor colour = image.pixelColor(x, y);
                    if (colour.alpha() != 0) {
                        ++opaque;
                        QVERIFY(colour.rgb() != silver.rgb());
                    }
                }
            }
            QVERIFY(opaque > size.width());
        }
        const QImage large = icon.pixmap(QSize(32, 32), 1.0).toImage();
        QImage highDensity = icon.pixmap(QSize(16, 16), 2.0).toImage();
        highDensity.setDevicePixelRatio(1);
        QCOMPARE(highDensity.convertToFormat(large.format()), large);
    }
    QVERIFY(MainWindow().windowIcon().availableSizes().contains(QSize(32, 32)));
}

QTEST_MAIN(TestWindowLayout)
#include "tst_window_layout.moc"
