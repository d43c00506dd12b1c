// Times the note commands on a large item file. Not a test: run it by hand and read the numbers.
//
// bench_note_commands [RECORDS]   (default 50000)

#include "form_fixture.h"

#include "form/message_box_style.h"
#include "store/disk_sync.h"

#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

void writeItemFile(const QString& path, int records) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    for (int n = 1; n <= records; ++n)
        file.write(ItemFiles::record("item " + QByteArray::number(n), "text of item"));
    // Otherwise the first command that syncs would pay for writing this file out.
    if (syncToDisk(file))
        qFatal("cannot sync %s", qPrintable(path));
}

void time(const char* what, const std::function<void()>& command) {
    QElapsedTimer timer;
    timer.start();
    command();
    std::printf("%-40s %8.1f ms\n", what, double(timer.nsecsElapsed()) / 1e6);
}

} // namespace

int main(int argc, char** argv) {
    const int records = argc > 1 ? std::atoi(argv[1]) : 50000;
    FormFixture f;
    writeItemFile(f.path(), records);
    std::printf("%d records, %.1f MB, file in the page cache and synced\n", records,
                double(f.items().size()) / 1e6);

    time("list the tags", [&] { f.form.DisplayTags(); });
    time("New, name taken (scan and list)", [&] {
        f.view.inputAnswers.enqueue(QStringLiteral("ITEM 1"));
        f.form.mnu_New_Click();
    });
    time("New, added (scan, append and list)", [&] {
        f.view.inputAnswers.enqueue(QStringLiteral("brand new"));
        f.form.mnu_New_Click();
    });
    f.view.selected = int(f.view.items.indexOf(QStringLiteral("brand new").leftJustified(60)));
    time("Delete (copy, sync, replace and list)", [&] {
        f.view.boxAnswers.enqueue(MessageBoxResult::Yes);
        f.form.mnu_delete_Click();
    });
    return f.items().size() == qsizetype(records) * NoteRecord::Size ? 0 : 1;
}
