// Times start-up and every note command on item files of 10,000, 100,000 and 1,000,000 records,
// each against a baseline measured in the same run on the same file: reading it in 1 MiB blocks,
// and copying it to a file that is then flushed to the disk. Not a test: run it by hand.
//
// QT_QPA_PLATFORM=offscreen bench_performance [RECORDS ...]   (default 10000 100000 1000000)
// QT_QPA_PLATFORM=offscreen bench_performance --paste [CHARACTERS ...]   (default 200000 1000000)
//
// Start-up runs in a fresh process per file (this program started again with --start-up), so
// that its peak memory is its own. The files go to a temporary folder and are removed at the end.

#include "fake_form.h"

#include "disk_sync.h"
#include "main_window.h"
#include "note_record.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <random>

namespace {

constexpr qint64 BlockBytes = 1 << 20;
// Runs of each step, of which the best counts.
constexpr int Runs = 5;

double seconds(const QElapsedTimer& timer) {
    return double(timer.nsecsElapsed()) / 1e9;
}

// The best of a few runs: the machine is shared, and noise only ever adds time.
double bestOf(int runs, const std::function<double()>& run) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i)
        best = std::min(best, run());
    return best;
}

double peakMegabytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    }
    return 0;
}

// Names of 1 to 60 characters and texts of 0 to 2000, from a fixed seed, so every run and
// every machine measures the same file.
void writeItemFile(const QString& path, qint64 records) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    std::mt19937 random(20261206);
    static const char* const words[] = {"apple",  "Birch",  "cloud",  "Dune",   "ember",
                                        "fjord",  "Grain",  "harbor", "Island", "jade",
                                        "kettle", "Lumen",  "meadow", "north",  "Opal",
                                        "pine",   "quartz", "River",  "stone",  "tide"};
    QByteArray prose;
    while (prose.size() < 4000) {
        prose += words[random() % 20];
        prose += random() % 9 == 0 ? ".\r\n" : " ";
    }
    QByteArray block;
    for (qint64 n = 1; n <= records; ++n) {
        // Half the names share their first characters, as real names often do ("note 104233 ...").
        QByteArray tag =
            random() % 2 ? QByteArray()
                         : "note " + QByteArray::number(100000 + qint64(random() % 900000)) + ' ';
        const int wordCount = 1 + int(random() % 4);
        for (int w = 0; w < wordCount; ++w)
            tag += QByteArray(words[random() % 20]) + ' ';
        tag += QByteArray::number(qint64(random() % 1000000));
        tag = tag.left(int(1 + random() % 60));
        const int bodyLength = int(random() % 2001);
        const QByteArray body = prose.mid(int(random() % 2000), bodyLength);
        block += tag.leftJustified(NoteRecord::TagLength, ' ') + QByteArray(2, '\0') +
                 body.leftJustified(NoteRecord::BodyLength, ' ');
        if (block.size() >= BlockBytes || n == records) {
            if (file.write(block) != block.size())
                qFatal("cannot write %s", qPrintable(path));
            block.clear();
        }
    }
    // Otherwise the first command that flushes would pay for writing this file out.
    if (syncToDisk(file))
        qFatal("cannot flush %s", qPrintable(path));
}

double blockRead(const QString& path) {
    QElapsedTimer timer;
    timer.start();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        qFatal("cannot read %s", qPrintable(path));
    QByteArray block(BlockBytes, Qt::Uninitialized);
    while (file.read(block.data(), BlockBytes) > 0) {
    }
    return seconds(timer);
}

double flushedCopy(const QString& path, const QString& copyPath) {
    QElapsedTimer timer;
    timer.start();
    QFile source(path);
    QFile copy(copyPath);
    if (!source.open(QIODevice::ReadOnly | QIODevice::Unbuffered) ||
        !copy.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        qFatal("cannot copy %s", qPrintable(path));
    QByteArray block(BlockBytes, Qt::Uninitialized);
    qint64 got = 0;
    while ((got = source.read(block.data(), BlockBytes)) > 0) {
        if (copy.write(block.constData(), got) != got)
            qFatal("cannot write %s", qPrintable(copyPath));
    }
    if (syncToDisk(copy))
        qFatal("cannot flush %s", qPrintable(copyPath));
    const double elapsed = seconds(timer);
    copy.close();
    QFile::remove(copyPath);
    return elapsed;
}

// What one record written in place and flushed costs: the part of a writing command that no
// scan can save.
double recordFlush(const QString& folder) {
    QFile file(folder + QStringLiteral("/flush.probe"));
    if (!file.open(QIODevice::ReadWrite | QIODevice::Truncate | QIODevice::Unbuffered))
        qFatal("cannot write the flush probe");
    file.write(QByteArray(NoteRecord::Size, ' '));
    if (syncToDisk(file))
        qFatal("cannot flush the flush probe");
    const double elapsed = bestOf(3, [&] {
        QElapsedTimer timer;
        timer.start();
        file.seek(0);
        file.write(QByteArray(NoteRecord::Size, 'x'));
        if (syncToDisk(file))
            qFatal("cannot flush the flush probe");
        return seconds(timer);
    });
    file.remove();
    return elapsed;
}

// The window with its dialogs answered from a script, so commands run as in the program.
// It also notes when a command starts to rebuild the list, which the list's reset marks.
class ScriptedWindow : public MainWindow {
public:
    explicit ScriptedWindow(DesktopServices& desktop)
        : MainWindow(desktop) {
        QObject::connect(&form().tags(), &QAbstractItemModel::modelAboutToBeReset, this, [this] {
            if (rebuildStartedAt < 0)
                rebuildStartedAt = clock.nsecsElapsed();
        });
    }
    QString answer;
    QElapsedTimer clock;
    qint64 rebuildStartedAt = -1;
    int messageBox(const QString&, int, const QString&) override { return 6; } // Yes, or OK
    QString inputBox(const QString&, const QString&, const QString&) override { return answer; }
};

// A command's whole time, and the part before it rebuilds the list.
struct Timing {
    double whole = 1e30;
    double own = 1e30;
};

Timing timedCommand(ScriptedWindow& window, MireloftMain::Procedure procedure) {
    window.rebuildStartedAt = -1;
    window.clock.start();
    (window.form().*procedure)();
    const qint64 whole = window.clock.nsecsElapsed();
    return {double(whole) / 1e9,
            double(window.rebuildStartedAt < 0 ? whole : window.rebuildStartedAt) / 1e9};
}

Timing best(Timing a, Timing b) {
    return {std::min(a.whole, b.whole), std::min(a.own, b.own)};
}

// The child: from the start of the process to the filled list shown in the window.
int startUp(const QString& folder, QElapsedTimer& sinceStart, int argc, char** argv) {
    QApplication app(argc, argv);
    FakeDesktop desktop;
    desktop.folder = QFile::encodeName(folder);
    MainWindow window(desktop);
    window.form().Form_Load();
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    QCoreApplication::processEvents();
    const double elapsed = seconds(sinceStart);
    const auto* list = window.findChild<QAbstractItemView*>(QStringLiteral("ML_Selector"));
    std::printf("%.6f %.1f %d\n", elapsed, peakMegabytes(), list->model()->rowCount());
    return 0;
}

struct StartUp {
    double seconds = 0;
    double megabytes = 0;
};

StartUp measureStartUp(const QString& folder, qint64 records) {
    StartUp best{1e30, 0};
    for (int run = 0; run < Runs; ++run) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {"--start-up", folder});
        if (!child.waitForFinished(600000) || child.exitCode() != 0)
            qFatal("start-up failed: %s", child.readAllStandardError().constData());
        const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
        if (figures.value(2).toLongLong() != records)
            qFatal("start-up listed %s entries, not %lld", figures.value(2).constData(),
                   static_cast<long long>(records));
        best.seconds = std::min(best.seconds, figures.value(0).toDouble());
        best.megabytes = std::max(best.megabytes, figures.value(1).toDouble());
    }
    return best;
}

QModelIndex rowOf(const QAbstractItemView& list, const QString& tag) {
    const QAbstractItemModel* model = list.model();
    for (int row = model->rowCount() - 1; row >= 0; --row) {
        if (model->index(row, 0).data().toString() == tag)
            return model->index(row, 0);
    }
    qFatal("no entry %s", qPrintable(tag));
}

void select(QAbstractItemView& list, const QString& tag) {
    const QSignalBlocker blocker(list);
    list.setCurrentIndex(rowOf(list, tag));
}

QString lastTag(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(file.size() - NoteRecord::Size))
        qFatal("cannot read %s", qPrintable(path));
    return QString::fromLatin1(file.read(NoteRecord::TagLength));
}

double timed(const std::function<void()>& command) {
    QElapsedTimer timer;
    timer.start();
    command();
    return seconds(timer);
}

void row(const char* what, double figure, const char* baseline, double ratio, const char* target) {
    std::printf("| %-34s | %8.4f | %-42s | %6.2f | %-9s |\n", what, figure, baseline, ratio,
                target);
}

// Per size: the figures whose growth from one size to the next is shown.
struct Growth {
    qint64 records = 0;
    double startUp = 0;
    double rebuild = 0;
    double selection = 0;
    double read = 0;
};

Growth benchmark(qint64 records, const QString& folder, const StartUp& floor) {
    const QString path = folder + QStringLiteral("/zmr.lst");
    writeItemFile(path, records);
    const double read = bestOf(5, [&] { return blockRead(path); });
    const double copy = bestOf(2, [&] { return flushedCopy(path, folder + "/copy.lst"); });
    const double flush = recordFlush(folder);
    const StartUp start = measureStartUp(folder, records);
    const double startUp = start.seconds - floor.seconds;

    FakeDesktop desktop;
    desktop.folder = QFile::encodeName(folder);
    ScriptedWindow window(desktop);
    window.form().Form_Load();
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        qFatal("the window did not show");
    auto& list = *window.findChild<QAbstractItemView*>(QStringLiteral("ML_Selector"));
    MireloftMain& form = window.form();

    const QString last = lastTag(path);
    const double rebuild = bestOf(Runs, [&] { return timed([&] { form.DisplayTags(); }); });
    const double selection = bestOf(Runs, [&] {
        select(list, last);
        return timed([&] { form.ML_Selector_Click(); });
    });
    using M = MireloftMain;
    Timing save;
    Timing newTaken;
    Timing newAdded;
    Timing rename;
    Timing remove;
    QStringList added;
    for (int run = 1; run <= Runs; ++run) {
        select(list, last);
        save = best(save, timedCommand(window, &M::mnu_SaveQuote_Click));
        window.answer = last.trimmed().toUpper();
        newTaken = best(newTaken, timedCommand(window, &M::mnu_New_Click));
        window.answer = QStringLiteral("a name nobody gave %1").arg(run);
        newAdded = best(newAdded, timedCommand(window, &M::mnu_New_Click));
        added.append(window.answer);
    }
    // The item added last is the last record: rename it, again and again.
    for (int run = 1; run <= Runs; ++run) {
        select(list, added.last().leftJustified(NoteRecord::TagLength));
        window.answer = QStringLiteral("renamed %1").arg(run);
        rename = best(rename, timedCommand(window, &M::mnu_rename_Click));
        added.last() = window.answer;
    }
    // The renamed one, deleted last, is the last record then.
    for (const QString& name : std::as_const(added)) {
        select(list, name.leftJustified(NoteRecord::TagLength));
        remove = best(remove, timedCommand(window, &M::mnu_delete_Click));
    }
    if (QFile(path).size() != records * NoteRecord::Size)
        qFatal("the commands left the file at the wrong size");

    std::printf("\n%lld records (%.0f MB): block read %.3f s, flushed copy %.3f s, one record "
                "flushed %.4f s\n\n",
                static_cast<long long>(records), double(records) * NoteRecord::Size / 1e6, read,
                copy, flush);
    std::printf("| %-34s | %8s | %-42s | %6s | %-9s |\n", "step", "seconds", "ratio to", "ratio",
                "target");
    std::printf("|%s|---------:|%s|-------:|%s|\n", QByteArray(36, '-').constData(),
                QByteArray(44, '-').constData(), QByteArray(11, '-').constData());
    const char* startTarget = records >= 1000000 ? "<= 1.5 s" : "<= 0.12 s";
    row("start-up over the floor", startUp, "seconds", startUp, startTarget);
    row("list rebuild", rebuild, "start-up over the floor", rebuild / startUp, "<= 1");
    row("select the last item", selection, "block read", selection / read, "<= 1.5");
    row("Save the last item", save.whole, "block read, less one flush", (save.whole - flush) / read,
        "<= 1.5");
    row("New, name taken", newTaken.whole, "block read, before the rebuild", newTaken.own / read,
        "<= 1.5");
    row("New, name added", newAdded.whole, "block read, before the rebuild, less flush",
        (newAdded.own - flush) / read, "<= 1.5");
    row("Rename the last item", rename.whole, "block read, before the rebuild, less flush",
        (rename.own - flush) / read, "<= 1.5");
    row("Delete the last item", remove.whole, "flushed copy, before the rebuild", remove.own / copy,
        "<= 2");
    row("rebuild after New and Delete",
        std::max(newAdded.whole - newAdded.own, remove.whole - remove.own),
        "start-up over the floor",
        std::max(newAdded.whole - newAdded.own, remove.whole - remove.own) / startUp, "<= 1");
    std::printf("| %-34s | %8.1f | %-42s | %6.1f | %-9s |\n", "start-up peak memory, MB",
                start.megabytes, "MB over the floor", start.megabytes - floor.megabytes,
                records >= 1000000  ? "<= 150"
                : records >= 100000 ? "<= 12"
                                    : "");
    std::fflush(stdout);
    QFile::remove(path);
    return {records, startUp, rebuild, selection, read};
}

// Pasting into the shown editor and then typing one character at the end, as one line and, as
// the baseline, the same number of characters in lines of 80.
void pasteBenchmark(const QList<int>& sizes) {
    const auto paste = [](const QString& text) {
        FakeDesktop desktop;
        MainWindow window(desktop);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            qFatal("the window did not show");
        auto* editor = window.findChild<QPlainTextEdit*>(QStringLiteral("ML_Editor"));
        editor->setFocus();
        const double pasted = timed([&] {
            editor->insertPlainText(text);
            editor->repaint();
        });
        const double typed = timed([&] {
            QTest::keyClick(editor, Qt::Key_X);
            editor->repaint();
        });
        return std::pair{pasted, typed};
    };
    std::printf("\n| %-42s | %8s | %8s | %6s | %8s | %6s |\n", "pasted into the editor", "paste, s",
                "lines, s", "ratio", "typed, s", "ratio");
    std::printf("|%s|---------:|---------:|-------:|---------:|-------:|\n",
                QByteArray(44, '-').constData());
    for (const int characters : sizes) {
        QString lines = (QString(79, 'm') + '\n').repeated(characters / 80 + 1);
        lines.truncate(characters);
        std::pair<double, double> line{1e30, 1e30}, inLines{1e30, 1e30};
        for (int run = 0; run < 3; ++run) {
            const auto [pasted, typed] = paste(QString(characters, 'm'));
            const auto [linesPasted, linesTyped] = paste(lines);
            line = {std::min(line.first, pasted), std::min(line.second, typed)};
            inLines = {std::min(inLines.first, linesPasted), std::min(inLines.second, linesTyped)};
        }
        std::printf("| %-42s | %8.3f | %8.3f | %6.1f | %8.4f | %6.1f |\n",
                    qPrintable(QStringLiteral("%L1 characters in one line").arg(characters)),
                    line.first, inLines.first, line.first / inLines.first, line.second,
                    line.second / inLines.second);
        std::fflush(stdout);
    }
}

} // namespace

int main(int argc, char* argv[]) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    if (argc == 3 && QByteArray(argv[1]) == "--start-up")
        return startUp(QString::fromLocal8Bit(argv[2]), sinceStart, 1, argv);

    QApplication app(argc, argv);
    if (argc >= 2 && QByteArray(argv[1]) == "--paste") {
        QList<int> characters;
        for (int i = 2; i < argc; ++i)
            characters.append(QByteArray(argv[i]).toInt());
        pasteBenchmark(characters.isEmpty() ? QList<int>{200000, 1000000} : characters);
        return 0;
    }
    QList<qint64> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.append(QByteArray(argv[i]).toLongLong());
    if (sizes.isEmpty())
        sizes = {10000, 100000, 1000000};

    QTemporaryDir dir;
    const QString folder = dir.path();
    writeItemFile(folder + QStringLiteral("/zmr.lst"), 2);
    const StartUp floor = measureStartUp(folder, 2);
    std::printf("floor (2 records): start-up %.3f s, peak memory %.1f MB\n", floor.seconds,
                floor.megabytes);
    QList<Growth> growth;
    for (const qint64 records : sizes) {
        // The file, the copy, Delete's temporary file, and room to spare.
        const qint64 needed = 3 * records * NoteRecord::Size + (qint64(1) << 30);
        if (QStorageInfo(folder).bytesAvailable() < needed) {
            std::printf("\n%lld records skipped: %s has less than %.1f GB free\n",
                        static_cast<long long>(records), qPrintable(folder), double(needed) / 1e9);
            continue;
        }
        growth.append(benchmark(records, folder, floor));
    }
    // From the smallest size to the largest, then size by size: a small file fits in the
    // processor's caches and a large one does not, which the block read's own growth shows.
    QList<std::pair<qsizetype, qsizetype>> steps;
    if (growth.size() > 1)
        steps.append({0, growth.size() - 1});
    for (qsizetype i = 1; growth.size() > 2 && i < growth.size(); ++i)
        steps.append({i - 1, i});
    if (!steps.isEmpty())
        std::printf("\n");
    for (const auto& [from, to] : steps) {
        const Growth& small = growth[from];
        const Growth& large = growth[to];
        const double n = double(large.records) / double(small.records);
        const double nLogN = n * std::log(double(large.records)) / std::log(double(small.records));
        std::printf("growth from %lld to %lld records: start-up x%.1f, list rebuild x%.1f, "
                    "selection x%.1f, block read x%.1f; n grows x%.0f, n log n x%.1f\n",
                    static_cast<long long>(small.records), static_cast<long long>(large.records),
                    large.startUp / small.startUp, large.rebuild / small.rebuild,
                    large.selection / small.selection, large.read / small.read, n, nLogN);
    }
    return 0;
}
