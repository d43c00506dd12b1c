// Times the tag list on a large item file: the scan, the sort, a selection of the last record, and
// the same through the real window. Not a test: run it by hand and read the numbers.
//
// QT_QPA_PLATFORM=offscreen bench_tag_list [RECORDS]   (default 50000)

#include "form_fixture.h"

#include "app/main_window.h"
#include "commands/tag_order.h"
#include "store/item_file.h"
#include "store/record_file.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>

#include <cstdio>
#include <sys/resource.h>

namespace {

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
    FormFixture f;
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
    const QString lastRecordTag = tags.last(); // the slowest to find
    timer.restart();
    sortTags(tags);
    const double sort = milliseconds(timer);

    timer.restart();
    f.form.DisplayTags();
    const double displayTags = milliseconds(timer);

    f.view.selected = int(f.view.items.indexOf(lastRecordTag));
    timer.restart();
    f.form.ML_Selector_Click();
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
