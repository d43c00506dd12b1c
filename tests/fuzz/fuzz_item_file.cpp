// Any bytes are an item file: start-up lists every whole record, selection shows the first
// match, Delete removes exactly the selected tag's records and New adds at most one record; no
// command fails or touches a record it was not given.
#include "fake_form.h"

#include "form/mireloft_main.h"
#include "store/note_record.h"
#include "store/windows1252.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

QByteArray readItems() {
    QFile file(QStringLiteral("zmr.lst"));
    check(file.open(QIODevice::ReadOnly), "zmr.lst stays readable");
    return file.readAll();
}

// A folder in memory where there is one: every command syncs to the disk.
QString workFolder() {
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/cardisto-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/cardisto-fuzz-XXXXXX"));
    check(dir.isValid(), "a temporary folder");
    return dir.path();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const QByteArray original(reinterpret_cast<const char*>(data), qsizetype(size));
    FakeView view;
    FakeDesktop desktop;
    desktop.folder = QFile::encodeName(workFolder());
    {
        QFile file(workFolder() + QStringLiteral("/zmr.lst"));
        check(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                  file.write(original) == original.size(),
              "the input written");
    }
    MireloftMain form(view, desktop);
    form.Form_Load();
    QList<QByteArray> records;
    for (qsizetype at = 0; at + NoteRecord::Size <= original.size(); at += NoteRecord::Size)
        records.append(original.sliced(at, NoteRecord::Size));
    check(view.items.size() == records.size(), "every whole record listed");

    QByteArray before = original;
    if (!records.isEmpty()) {
        view.selected = int(data[size - 1] % records.size());
        const QByteArray tag = Windows1252::encode(view.selectorText());
        check(tag.size() == NoteRecord::TagLength, "a listed tag is a stored tag");
        form.ML_Selector_Click();
        const auto first = std::find_if(records.begin(), records.end(),
                                        [&](const QByteArray& r) { return r.first(60) == tag; });
        check(first != records.end(), "the selected tag is in the file");
        check(view.editor == trimBlanks(Windows1252::decode(first->sliced(62))),
              "selection shows the first match's text");

        view.boxAnswers.enqueue(MessageBoxResult::Yes);
        form.mnu_delete_Click();
        QByteArray kept;
        for (const QByteArray& record : records)
            kept += record.first(60) == tag ? QByteArray() : record;
        before = readItems();
        check(before == kept, "Delete removes exactly the selected tag's records");
    }

    if (before.size() % NoteRecord::Size == 0) {
        const QString name = Windows1252::decode(original.first(qMin(original.size(), 70)));
        view.inputAnswers.enqueue(name);
        form.mnu_New_Click();
        const QByteArray after = readItems();
        NoteRecord added;
        added.setTag(name);
        check(after == before ||
                  (after.size() == before.size() + NoteRecord::Size && after.startsWith(before) &&
                   after.sliced(before.size(), 60) == Windows1252::encode(added.Tag) &&
                   after.endsWith(QByteArray(NoteRecord::BodyLength, ' '))),
              "New adds one record with the name, or none");
    }
    check(std::none_of(view.boxes.begin(), view.boxes.end(),
                       [](const QString& box) { return box.endsWith(QLatin1String("|16")); }),
          "no command fails on an ordinary file");
    return 0;
}
