// Times the tag list on a large item file: the scan, the sort, a selection of the last item, and
// the same through the real window. Usage: QT_QPA_PLATFORM=offscreen bench_tag_list [records]
// (default 50000)

#include "app/desktop_services.h"
#include "app/form_view.h"
#include "app/main_window.h"
#include "app/mireloft_main.h"
#include "commands/tag_order.h"
#include "store/item_file.h"
#include "store/record_file.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>

namespace {

class SilentView : public FormView {
public:
    QStringList items;
    QString selected;
    QString editor;
    void setCaption(const QString&) override {}
    void setSelectorItems(const QStringList& list) override { items = list; }
    QString selectorText() const override { return selected; }
    QString editorText() const override { return editor; }
    void setEditorText(const QString& text) override { editor = text; }
    int messageBox(const QString& message, int, const QString&) override {
        std::fprintf(stderr, "%s\n", qPrintable(message));
        return 1;
    }
    QString inputBox(const QString&, const QString&, const QString&) override { return {}; }
    float scaleWidth() const override { return 0; }
    float scaleHeight() const override { return 0; }
    float toolbarHeight() const override { return 0; }
    void setSelectorGeometry(float, float, float, float) override {}
    float selectorHeight() const override { return 0; }
    void setEditorGeometry(float, float, float, float) override {}
    void quit() override {}
};

class NoDesktop : public DesktopServices {
public:
    QString programFolder() const override { return QDir::currentPath(); }
    void clearClipboard() override {}
    void setClipboardText(const QString&) override {}
    bool startProgram(const QString&, const QStringList&) override { return false; }
    std::optional<QString> findExecutable(const QString&) override { return std::nullopt; }
    bool shellExecute(const QString&, const QString&) override { return false; }
};

void writeItems(qint64 count) {
    QFile file(ItemFileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write the item file");
    auto* random = QRandomGenerator::global();
    NoteRecord record;
    for (qint64 n = 1; n <= count; ++n) {
        record.setTag(QStringLiteral("Item %1 %2").arg(random->bounded(1000000)).arg(n));
        record.setBody(QStringLiteral("Text of item %1. ").repeated(40).arg(n));
        file.write(record.toBytes());
    }
}

double milliseconds(const QElapsedTimer& timer) {
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const qint64 count = argc > 1 ? QByteArray(argv[1]).toLongLong() : 50000;
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    writeItems(count);

    QElapsedTimer timer;
    timer.start();
    QStringList tags;
    {
        RecordFile file(ItemFileName);
        NoteRecord buffer;
        for (qint64 n = 1; n <= file.recordCount(); ++n) {
            file.read(n, buffer);
            tags.append(buffer.Tag);
        }
    }
    const double scan = milliseconds(timer);
    timer.restart();
    sortTags(tags);
    const double sort = milliseconds(timer);

    SilentView view;
    NoDesktop desktop;
    MireloftMain form(view, desktop);
    timer.restart();
    form.DisplayTags();
    const double displayTags = milliseconds(timer);

    view.selected = tags.last();
    timer.restart();
    form.ML_Selector_Click();
    const double select = milliseconds(timer);

    MainWindow window;
    window.show();
    timer.restart();
    window.form().DisplayTags();
    QCoreApplication::processEvents();
    const double windowDisplayTags = milliseconds(timer);

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("records %lld (%.1f MB)\n", static_cast<long long>(count),
                double(count) * NoteRecord::Size / 1e6);
    std::printf("scan %.1f ms, sort %.1f ms, DisplayTags %.1f ms, select worst case %.1f ms\n",
                scan, sort, displayTags, select);
    std::printf("DisplayTags in the window, painted: %.1f ms\n", windowDisplayTags);
    std::printf("peak resident memory %.1f MB\n", double(usage.ru_maxrss) / 1024);
    return 0;
}
