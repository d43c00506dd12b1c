#pragma once

#include "fake_form.h"
#include "item_files.h"

#include "app/mireloft_main.h"

#include <QDir>
#include <QTemporaryDir>

#include <memory>

// A fresh program folder, made the current directory, with the procedures on a fake window.
struct FormFixture {
    QTemporaryDir dir;
    QString previousDir = QDir::currentPath();
    FakeView view;
    FakeDesktop desktop;
    MireloftMain form{view, desktop};

    FormFixture() {
        desktop.folder = dir.path();
        QDir::setCurrent(dir.path());
    }
    ~FormFixture() { QDir::setCurrent(previousDir); }

    QString path(const QString& name = QStringLiteral("zmr.lst")) const {
        return dir.filePath(name);
    }
    void writeItems(const QByteArray& bytes) { ItemFiles::write(path(), bytes); }
    QByteArray items() const { return ItemFiles::read(path()); }
};
