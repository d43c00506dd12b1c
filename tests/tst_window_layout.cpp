#include "image_list.h"
#include "main_window.h"

#include <QListView>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QTest>
#include <QToolBar>

#include <algorithm>

namespace {

template <typename Control> Control* find(MainWindow& window, const char* name) {
    return window.findChild<Control*>(QLatin1String(name));
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
    void imagesAreMaskedAndSharp_data();
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
    const QByteArray tags =
        QByteArray("first").leftJustified(60) + QByteArray("second").leftJustified(60);
    window.setSelectorItems({tags, {0, 1}});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    resizeClient(window, client);
    auto* toolbar = find<QToolBar>(window, "ML_TB1");
    auto* list = find<QListView>(window, "ML_Selector");

    QCOMPARE(toolbar->geometry(), QRect(0, 0, client.width(), toolbar->sizeHint().height()));
    QCOMPARE(list->geometry().topLeft(), QPoint(0, toolbar->height()));
    QCOMPARE(list->width(), client.width());
    // A third of the client height, rounded down to whole rows.
    const int row = list->visualRect(list->model()->index(0, 0)).height();
    const int frame = 2 * list->frameWidth();
    const double third = client.height() / 3.0;
    QVERIFY(list->height() <= third);
    if (list->height() > 0) {
        QCOMPARE(list->viewport()->height(), list->height() - frame);
        QCOMPARE(list->viewport()->height() % row, 0);
    }
    QVERIFY(list->height() + (list->height() > 0 ? row : row + frame) > third);
    // The editor takes the rest, or nothing where toolbar and list leave nothing.
    const int listBottom = list->y() + list->height();
    QCOMPARE(find<QPlainTextEdit>(window, "ML_Editor")->geometry(),
             QRect(0, listBottom, client.width(), std::max(0, client.height() - listBottom)));
}

void TestWindowLayout::minimizedWindowMovesNothing() {
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    resizeClient(window, QSize(300, 300));
    auto* list = find<QListView>(window, "ML_Selector");
    auto* editor = find<QPlainTextEdit>(window, "ML_Editor");
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

void TestWindowLayout::imagesAreMaskedAndSharp_data() {
    QTest::addColumn<QColor>("window");
    QTest::addColumn<QColor>("text");
    QTest::addColumn<int>("outlineContrast"); // in grey levels, at least
    QTest::newRow("light") << QColor(0xefefef) << QColor(0x31363b) << 239; // black, as drawn
    QTest::newRow("dark") << QColor(0x353535) << QColor(0xf0f0f0) << 128;
}

// Silver must vanish everywhere, and a double-density screen must get the 32-pixel drawings
// rather than the small ones blown up. The outlines must stand out from the toolbar.
void TestWindowLayout::imagesAreMaskedAndSharp() {
    QFETCH(QColor, window);
    QFETCH(QColor, text);
    QFETCH(int, outlineContrast);
    const auto restore =
        qScopeGuard([p = QGuiApplication::palette()] { QGuiApplication::setPalette(p); });
    QPalette palette;
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    QGuiApplication::setPalette(palette);
    const ImageList images;
    const QColor silver(192, 192, 192);
    const auto clear = [](const QImage& image, int x, int y) {
        return !image.rect().contains(x, y) || image.pixelColor(x, y).alpha() == 0;
    };
    for (int position = 1; position <= ImageList::Count; ++position) {
        const QIcon icon = images.image(position);
        QCOMPARE(icon.availableSizes(), (QList<QSize>{QSize(16, 16), QSize(32, 32)}));
        for (const QSize size : icon.availableSizes()) {
            const QImage image = icon.pixmap(size, 1.0).toImage();
            QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    QVERIFY(image.pixelColor(x, y) != silver);
                    if (!clear(image, x, y) && (clear(image, x - 1, y) || clear(image, x + 1, y) ||
                                                clear(image, x, y - 1) || clear(image, x, y + 1)))
                        QVERIFY2(
                            qAbs(qGray(image.pixel(x, y)) - qGray(window.rgb())) >= outlineContrast,
                            qPrintable(
                                QStringLiteral("image %1 at %2, %3").arg(position).arg(x).arg(y)));
                }
            }
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
