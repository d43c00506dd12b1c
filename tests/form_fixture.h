#pragma once

#include "fake_form.h"
#include "item_files.h"

#include "mireloft_main.h"

#include <QDir>
#include <QTemporaryDir>

#include <sys/stat.h> // for the tests that make folders, pipes and links

// A fresh program folder, made the current directory, with the procedures on a fake window.
struct FormFixture {
    QTemporaryDir dir;
    QString previousDir = QDir::currentPath();
    FakeView view;
    FakeDesktop desktop;
    MireloftMain form{view, desktop, std::chrono::milliseconds(200)};

    FormFixture() {
        desktop.folder = QFile::encodeName(dir.path());
        view.show(form.tags());
        QDir::setCurrent(dir.path());
    }
    ~FormFixture() { QDir::setCurrent(previousDir); }

    QString path() const { return dir.filePath(QStringLiteral("zmr.lst")); }
    QByteArray items() const { return ItemFiles::read(path()); }
};
