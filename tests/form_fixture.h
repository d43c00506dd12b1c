#pragma once

#include "fake_form.h"
#include "item_files.h"

#include "mireloft_main.h"

#include <QDir>
#include <QTemporaryDir>

#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

// A fresh program folder, made the current directory, with the procedures on a fake window.
struct FormFixture {
    QTemporaryDir dir;
    QString previousDir = QDir::currentPath();
    FakeView view;
    FakeDesktop desktop;
    MireloftMain form{view, desktop, std::chrono::milliseconds(200)};

    FormFixture() {
        desktop.folder = QFile::encodeName(dir.path());
        QDir::setCurrent(dir.path());
    }
    ~FormFixture() { QDir::setCurrent(previousDir); }

    QString path(const QString& name = QStringLiteral("zmr.lst")) const {
        return dir.filePath(name);
    }
    void writeItems(const QByteArray& bytes) { ItemFiles::write(path(), bytes); }
    QByteArray items() const { return ItemFiles::read(path()); }
    // Lists the items and selects the (first) entry of `tag`.
    void listAndSelect(const QByteArray& items, const QString& tag) {
        writeItems(items);
        form.DisplayTags();
        view.selected = int(view.items.indexOf(tag.leftJustified(60)));
    }
};

// Root may write any file, so a test of a read-only file or folder drops root's file access
// rights for the current thread while it runs.
struct Unprivileged {
    int previous = geteuid() == 0 ? (setfsgid(65534), setfsuid(65534)) : -1;
    ~Unprivileged() {
        if (previous >= 0)
            setfsuid(previous), setfsgid(getegid());
    }
};

// Writes that would make a file longer than `bytes` fail as on a full disk, while in scope; the
// store, not the test, must keep the signal from ending the process.
struct FileSizeLimit {
    rlimit previous{};
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &previous);
        const rlimit limit{bytes, previous.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &previous); }
};
